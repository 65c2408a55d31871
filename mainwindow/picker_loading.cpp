#include "mainwindow/widget.h"
#include "ui_widget.h"

#include "cardfile/settings_keys.h"
#include "widgets/message_box.h"

#include <QSettings>

namespace
{

const char *const state_body_ogrns[] = {
    "1027801583743", "1027802508271", "1027804200236", "1027806078552", "1027806894312", "1027807593318",
    "1027807994224", "1027808752839", "1027808867833", "1027809009755", "1027809192575", "1027809244561",
    "1027809257178", "1027810228368", "1027810241007", "1027810253635", "1027810256352", "1027810279397",
    "1027810320757", "1027810354516", "1027810356485", "1027812406742", "1037800042851", "1037804023597",
    "1037811014515", "1037819002605", "1037821059540", "1037828007030", "1037841000647", "1037843003285",
    "1037843011931", "1037843022524", "1037843025527", "1037843031214", "1037843037935", "1037843045701",
    "1037843063873", "1037843108962", "1037843116607", "1037843119665", "1037851017973", "1037851027081",
    "1037851049367", "1037867000115", "1037867016440", "1037869012444", "1037869015975", "1037869018219",
    "1047839009129", "1047839034484", "1047844000082", "1047844000731", "1047855096222", "1079847017910",
    "1099847031570", "1127847621110", "1127847685778", "1137847460816", "1147847001191", "1167847166882",
    "1177847292996"};

} // namespace

void Widget::connect_pickers()
{
    for (Form *picker : {&okopf_picker, &okato_picker, &okfs_picker, &okogu_picker})
        picker->set_mode(picker_mode::by_code);
    facet_picker.set_mode(picker_mode::by_category);
    for (Form *picker :
         {&actual_address_picker, &postal_address_picker, &head_position_picker, &iogv_picker, &vk_picker})
        picker->set_mode(picker_mode::names_only);
    position_picker.set_mode(picker_mode::positions);
    okved_picker.set_mode(picker_mode::okved);
    extra_okved_picker.set_mode(picker_mode::okved);

    connect(&head_position_picker, &Form::sig, this, &Widget::paste_f);
    connect(&okopf_picker, &Form::sig, this, &Widget::paste_v);
    connect(&okato_picker, &Form::sig, this, &Widget::paste_okato);
    connect(&actual_address_picker, &Form::sig, this, &Widget::paste_fakt_adr);
    connect(&okfs_picker, &Form::sig, this, &Widget::paste_okfs);
    connect(&okved_picker, &Form::sig, this, &Widget::paste_okved);
    connect(&extra_okved_picker, &Form::sig, this, &Widget::paste_neosn);
    connect(&postal_address_picker, &Form::sig, this, &Widget::paste_pocht_adr);
    connect(&inn_date_calendar, &Resolve::sig_from_calendar, this, &Widget::paste_res2);
    connect(&fill_date_calendar, &Resolve::sig_from_calendar, this, &Widget::paste_zan);
    connect(&position_picker, &Form::sig, this, &Widget::paste_okpdtr);
    connect(&facet_picker, &Form::sig, this, &Widget::paste_faset);
    connect(&iogv_picker, &Form::sig, this, &Widget::paste_iogv);
    connect(&xls_dialog, &Import_xls::sig_from_xls, this, &Widget::paste_xls);
    connect(&okogu_picker, &Form::sig, this, &Widget::paste_okogu);
    connect(&vk_picker, &Form::sig, this, &Widget::paste_vk);
}

struct Widget::ClassifierLoad {
    const char *progress;
    const char *file;
    QVector<Form *> pickers;
};

void Widget::load_pickers()
{
    classifier_dir = classifier_file::resource_dir;
    connect_pickers();

    fill_date_calendar.setWindowTitle("Выберите дату заполнения");
    head_position_picker.setWindowTitle("Руководитель организации");
    okopf_picker.setWindowTitle("Организационно-правовая форма");
    okato_picker.setWindowTitle("Код ОКАТО");
    actual_address_picker.setWindowTitle("Фактический адрес");
    okfs_picker.setWindowTitle("Форма собственности");
    okogu_picker.setWindowTitle("Классификатор органов гос. власти и управления");
    vk_picker.setWindowTitle("Справочник военкоматов СПб и ЛО");
    okved_picker.setWindowTitle("Виды экономической деятельности");
    help_window.setWindowTitle("Справочная информация");
    extra_okved_picker.setWindowTitle("Неосновные коды ОКВЭД");
    postal_address_picker.setWindowTitle("Почтовый адрес");
    position_picker.setWindowTitle("Должности и профессии");
    facet_picker.setWindowTitle("Фасет");
    iogv_picker.setWindowTitle("Перечень ИОГВ");
    pdp_window.setWindowTitle("Перечень ВУС");

    access_granted = false;
    access_tries = 0;

    progress_window.add_value();
    xls_dialog.setWindowTitle("Ввод координат первой ячейки");

    for (const ClassifierLoad &load : classifier_loads()) {
        progress_window.set_title(QString::fromUtf8(load.progress));
        load_classifier(load.file);
        // Each picker window is built and filled when it is first opened.
        for (Form *picker : load.pickers)
            picker->hold_items(classifier_reader.records);
        progress_window.add_value();
    }

    progress_window.close();
    saved_snapshot = collect_card_values();

    const QString hint_style = "QLabel{border-style: dashed;border-width: 2px;border-color: maroon;}";
    ui->label_22->setStyleSheet(hint_style);
    ui->label_34->setStyleSheet(hint_style);

    remind_of_unfinished_card();

    for (const char *ogrn : state_body_ogrns)
        iogv_ogrn_list << QString::fromLatin1(ogrn);
}

QVector<Widget::ClassifierLoad> Widget::classifier_loads()
{
    return {
        {"Загрузка адресов", classifier_file::addresses, {&actual_address_picker, &postal_address_picker}},
        {"Загрузка должностей", classifier_file::head_positions, {&head_position_picker}},
        {"Загрузка кодов ОКАТО", classifier_file::okato, {&okato_picker}},
        {"Загрузка кодов ОКОПФ", classifier_file::okopf, {&okopf_picker}},
        {"Загрузка кодов ОКФС", classifier_file::okfs, {&okfs_picker}},
        {"Загрузка кодов ОКВЕД", classifier_file::okved, {&extra_okved_picker, &okved_picker}},
        {"Загрузка кодов ОКПДТР", classifier_file::positions, {&position_picker}},
        {"Загрузка фасетов", classifier_file::facets, {&facet_picker}},
        {"Загрузка ИОГВ", classifier_file::iogv, {&iogv_picker}},
        {"Загрузка ОКОГУ", classifier_file::okogu, {&okogu_picker}},
        {"Загрузка ВК", classifier_file::offices, {&vk_picker}},
    };
}

const QVector<ClassifierRecord> &Widget::classifier_records(const char *file)
{
    for (const ClassifierLoad &load : classifier_loads())
        if (qstrcmp(load.file, file) == 0)
            return load.pickers.first()->records();
    load_classifier(file);
    return classifier_reader.records;
}

void Widget::remind_of_unfinished_card()
{
    QSettings settings(app_settings::organisation, app_settings::application);
    if (settings.value(app_settings::oldset, app_settings::oldset_missing).toString() ==
        QString::number(app_settings::oldset_temp_saved)) {
        MessageSetup setup;
        setup.icon = QMessageBox::Question;
        setup.title = "Загрузка последних данных";
        setup.text = "Для продолжения заполнения незавершенной карточки учета, нажмите кнопку ''Открыть'' в "
                     "основном окне программы и выберите файл (.QTEMP) с нужной датой\n   \nВыбор кнопки ''НЕ "
                     "напоминать'' уберет данное уведомление при следующем запуске (файлы .QUELT и .QTEMP при "
                     "этом останутся).";
        setup.buttons = QMessageBox::Save | QMessageBox::Close;
        setup.labels.append({QMessageBox::Save, "ОК"});
        setup.labels.append({QMessageBox::Close, "НЕ напоминать"});
        setup.default_button = QMessageBox::Save;
        if (run_message(msg_box, setup) == QMessageBox::Close)
            clear_to_reg();
    }
}

void Widget::clear_to_reg()
{
    QSettings settings(app_settings::organisation, app_settings::application);
    settings.setValue(app_settings::oldset, app_settings::oldset_never_remind);
}

void Widget::load_classifier(const char *file)
{
    const QString path = classifier_dir + QString::fromUtf8(file);
    if (!classifier_reader.load(path))
        qWarning("Classifier %s did not open", qPrintable(path));
}
