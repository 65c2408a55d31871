#include "mainwindow/widget.h"
#include "ui_widget.h"

#include "cardfile/card_lists.h"
#include "cardfile/card_texts.h"
#include "mainwindow/main_tabs.h"
#include "mainwindow/tab_order.h"
#include "mainwindow/window_placement.h"
#include "printing/print_view.h"
#include "resources/init_resources.h"
#include "widgets/message_box.h"
#include "widgets/spinboxdelegate.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPageLayout>
#include <QPageSize>
#include <QScreen>
#include <QWebView>

Widget::Widget(QWidget *parent) : QWidget(parent), ui(new Ui::Widget), printer(QPrinter::ScreenResolution)
{
    quelt_init_resources();
    ui->setupUi(this);
    set_form_tab_order(this);
    apply_edition();

    // The default family: an empty family name would let fontconfig fall back to a serif face.
    QFont box_font = QApplication::font();
    box_font.setPointSize(11);
    msg_box.setFont(box_font);

    // Centre on the screen that holds the window; small default screens get it maximised.
    const QRect primary = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect own = screen()->availableGeometry();
    move(centred_top_left(own, size()));
    if (needs_maximised(primary))
        showMaximized();

    ui->tabWidget->installEventFilter(this);
    ui->te_orgname->installEventFilter(this);
    ui->te_dopinfo->installEventFilter(this);
    ui->te_orgname2->installEventFilter(this);

    progress_window.clear_source();
    progress_window.set_iterator(10);
    progress_window.set_title("Первичная инициализация");
    progress_window.show();

    ui->dateZap->setDate(QDate::currentDate());

    printing::set_printer_defaults(printer);
    ui->sb_b_html_px->setValue(int(printer.paperRect(QPrinter::DevicePixel).height()));
    web_view = nullptr;

    for (nTextEdit *edit : {ui->te_dopinfo, ui->te_orgname, ui->te_orgname2})
        edit->set_max_length(255);
    for (nLineEdit *edit :
         {ui->le_TelRuk, ui->le_DopRuk, ui->le_FaxRuk, ui->le_TelVur, ui->le_DopVur, ui->le_FaxVur, ui->TelRukMO,
          ui->DopRukMO, ui->FaxRukMO, ui->lineEdit_29, ui->le_INN, ui->le_KPP, ui->le_OGRN, ui->le_OKPO})
        edit->set_home_on_press(true);
    for (nLineEdit *edit : {ui->lineEdit_23, ui->lineEdit_9,  ui->lineEdit_31, ui->lineEdit_37, ui->lineEdit_34,
                            ui->lineEdit_35, ui->lineEdit_21, ui->lineEdit_8,  ui->lineEdit_18, ui->lineEdit_10,
                            ui->lineEdit_36, ui->NPA_doc,     ui->lineEdit,    ui->le_FamRuk,   ui->le_ImRuk,
                            ui->le_OtRuk,    ui->le_DolgVur,  ui->le_FamVur,   ui->le_OtVur,    ui->le_ImVur,
                            ui->DolgRukMO,   ui->FamRukMO,    ui->ImRukMO,     ui->OtRukMO,     ui->le_dop_ved})
        edit->set_home_on_focus_out(true);

    ui->label_51->hide();
    ui->cb_sf_ved->hide();

    const QString group_style = "QGroupBox { border: 1px solid gray; border-radius: 10px;}";
    for (QWidget *w : {static_cast<QWidget *>(ui->groupBox_kolont), static_cast<QWidget *>(ui->gb_bal_shtat),
                       static_cast<QWidget *>(ui->gb_bal_bron), static_cast<QWidget *>(ui->gb_bal_rab),
                       static_cast<QWidget *>(ui->gb_f6)})
        w->setStyleSheet(group_style);
    for (QWidget *w : {ui->sb_f6_gpz, ui->sb_b_bron, ui->sb_f6_bron_all, ui->sb_b_all})
        w->setStyleSheet("QSpinBox { background: lightgrey}");

    ui->tabWidget->setTabText(main_tab::staff, "Персонал");

    spin_delegate = new spinboxDelegate(this);
    connect(spin_delegate, &spinboxDelegate::sig_press_enter_tomain, this, &Widget::pressed_enter_widget);

    setup_table_models();
    load_pickers();
}

Widget::~Widget()
{
    delete web_view;
    delete ui;
}

void Widget::apply_edition()
{
    QTabWidget *tabs = ui->tabWidget;
    tabs->setTabEnabled(main_tab::training, false);
    tabs->setTabEnabled(main_tab::reservation, false);
    tabs->removeTab(main_tab::service);
    tabs->setCurrentIndex(main_tab::main_page);

    for (QWidget *w :
         {static_cast<QWidget *>(ui->VK_org), static_cast<QWidget *>(ui->sb_f6_bron_all),
          static_cast<QWidget *>(ui->sb_f6_bron_of), static_cast<QWidget *>(ui->sb_f6_bron_neof),
          static_cast<QWidget *>(ui->label_f6_bron), static_cast<QWidget *>(ui->label_f6_bron_of),
          static_cast<QWidget *>(ui->label_f6_bron_neof), static_cast<QWidget *>(ui->label_f6_ost),
          static_cast<QWidget *>(ui->gb_bal_buttons), static_cast<QWidget *>(ui->gb_balance),
          static_cast<QWidget *>(ui->table_balance), static_cast<QWidget *>(ui->NPA_groupBox),
          static_cast<QWidget *>(ui->groupBox_b_itogi), static_cast<QWidget *>(ui->testButton),
          static_cast<QWidget *>(ui->checkBox_balance_hiden), static_cast<QWidget *>(ui->checkBox_balance_vnutr_ist)})
        w->hide();

    const QString version = QString::number(version_major) + ".20" + QString::number(version_minor);
    ui->title_ver->setText(ui->title_ver->text().replace("version", version));

    tabs->removeTab(main_tab::reservation);
    ui->copyButton->hide();

    for (QWidget *w : {static_cast<QWidget *>(ui->label_MobOrgan_2), static_cast<QWidget *>(ui->cb_MobOrgan_2),
                       static_cast<QWidget *>(ui->groupBox_1_6), static_cast<QWidget *>(ui->line_4),
                       static_cast<QWidget *>(ui->pb_zaglav), static_cast<QWidget *>(ui->pb_zaglav2),
                       static_cast<QWidget *>(ui->f6_errlabel)})
        w->hide();
}

bool Widget::reserving() const
{
    return ui->cb_kat_b->currentText() == card_lists::yes;
}

bool Widget::state_body() const
{
    return ui->cb_OGV->currentText() == card_lists::yes;
}

bool Widget::mob_body() const
{
    return ui->cb_MobOrgan->currentText() == card_lists::yes;
}

void Widget::show_notice(QMessageBox::Icon icon, const QString &title, const QString &text, bool styled)
{
    MessageSetup setup;
    setup.icon = icon;
    setup.title = title;
    setup.text = text;
    setup.buttons = QMessageBox::Ok;
    if (styled)
        setup.style_sheet = QString::fromUtf8(card_text::message_style).arg(card_text::message_font_px);
    run_message(msg_box, setup);
}

int Widget::ask_to_confirm(const QString &title, const QString &text)
{
    MessageSetup setup;
    setup.icon = QMessageBox::Warning;
    setup.title = title;
    setup.text = text;
    setup.buttons = QMessageBox::Ok | QMessageBox::Cancel;
    setup.labels.append({QMessageBox::Ok, "Подтверждаю"});
    setup.labels.append({QMessageBox::Cancel, "Отменить"});
    return run_message(msg_box, setup);
}

bool Widget::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextPrevChild(true);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Widget::keyPressEvent(QKeyEvent *event)
{
    event->accept();
}

void Widget::on_tabWidget_currentChanged(int) {}

void Widget::on_testButton_clicked()
{
    qDebug("T_button");
}
