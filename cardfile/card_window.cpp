// Saving, opening and closing a card, and the unfinished-card file.
#include "mainwindow/widget.h"
#include "ui_widget.h"

#include "cardfile/archiver.h"
#include "cardfile/card_texts.h"
#include "cardfile/iexml.h"
#include "cardfile/settings_keys.h"
#include "cardfile/temp_card.h"
#include "widgets/message_box.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <memory>

namespace
{

const char *const caption_save_as = "Сохранить как";
const char *const filter_card = "QUELT Files (*.quelt)";
const char *const default_name_tail = "_Ф18";
const char *const title_exit = "Выход";
const char *const text_exit =
    "Сохранить изменения в файл?\n   \nДА - будет предложено место сохранения файла, если нет ошибок в заполнении "
    "формы.\nНЕТ - будет произведен выход из программы БЕЗ сохранения последних изменений.\nПРОДОЛЖИТЬ ПОЗЖЕ - "
    "введенные данные, независимо от ошибок, сохраняются во временный файл (.QTEMP), который можно открыть позже и "
    "продолжить заполнение (однако данный файл НЕ подходит для передачи отчета в администрацию).\nОТМЕНА - выход из "
    "программы будет отменен (можно налить чаю и подумать что делать дальше).";
const char *const button_save = "ДА, сохранить";
const char *const button_no = "НЕТ";
const char *const button_later = "Продолжить позже";
const char *const button_cancel = "Отмена";
const char *const text_close_program = "Закрыть программу?";
const char *const button_yes_close = "ДА";
const char *const button_no_close = "Нет";
const char *const caption_open = "Загрузить";
const char *const filter_open = "QUELT Files (*.quelt *.qtemp)";
const char *const title_10001 = "Ошибка 10001!";
const char *const text_10001 = "Нажата кнопка ''Отмена'', или произошла ошибка обработки пути к файлу";
const char *const temp_name_head = "ЦВЕЛТ_незавершен_";
const char *const temp_date_format = "dd.MM.yy_HH.mm";
const char *const filter_temp = "QUELT Temp (*.qtemp)";
const char *const text_temp_saved_tail =
    ".\nЗапомните путь, куда сохранен это файл, чтобы открыть его в следующий раз и продолжнить заполнение.\n\nВАЖНО! "
    "Обратите, пожалуйста, внимание, что данный файл (.QTEMP)\nНЕ подходит для передачи отчета в администрацию, т.к. "
    "имеет совершенно другую структуру и содержит ошибки заполнения. Для передачи отчета используйте кнопку "
    "''Сохранить'' в основном окне программы, когда все ошибки будут исправлены.";

const char *const card_extension = "quelt";
const char *const temp_extension = ".qtemp";
const char *const temp_ending = "emp";

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

// Where the file dialogs start.
QString default_folder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:") + QDir::separator();
#else
    return QDir::homePath() + "/";
#endif
}

// The file's name without its folder and without any copy of the extension, in any letter case.
QString base_name(const QString &path, const QString &extension)
{
    QString base = path.mid(path.lastIndexOf('/') + 1);
    base.remove(extension, Qt::CaseInsensitive);
    return base;
}

QMessageBox::Icon box_icon(CardMessage::Icon icon)
{
    switch (icon) {
    case CardMessage::Critical:
        return QMessageBox::Critical;
    case CardMessage::Warning:
        return QMessageBox::Warning;
    default:
        return QMessageBox::Information;
    }
}

// The card file's own messages, in a box of their own.
void show_card_file_messages(const QVector<CardMessage> &messages)
{
    if (messages.isEmpty())
        return;
    QMessageBox box;
    QFont font;
    font.setPointSize(11);
    box.setFont(font);
    for (const CardMessage &m : messages) {
        box.setIcon(box_icon(m.icon));
        box.setWindowTitle(m.title);
        box.setText(m.text);
        box.setStyleSheet(m.style_sheet());
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    }
}

} // namespace

// ---- Saving ----

void Widget::on_save_Button_clicked()
{
    if (check_before_output())
        save_card_as();
}

void Widget::save_card_as()
{
    // Characters that are no part of a file name: a slash would even name another folder, and the
    // file dialog reads double quotes as a list of names.
    QString name = ui->te_orgname2->toPlainText();
    for (const QChar c : QStringLiteral(":?*\"/\\<>|"))
        name.remove(c);
    name = name.simplified();
    const QString path = QFileDialog::getSaveFileName(this, u(caption_save_as),
                                                      default_folder() + name + u(default_name_tail), u(filter_card));
    if (path.isEmpty())
        return;
    const QString base = base_name(path, "." + u(card_extension));
    if (iexml::refused_member_name(base)) {
        show_notice(QMessageBox::Critical, u(card_text::title_bad_name), u(card_text::text_bad_name), false);
        return;
    }

    const QVector<QString> main = collect_card_values();
    const QVector<QString> balance = collect_balance_rows();
    const QVector<QString> bron = collect_bron_rows();
    const QVector<QString> nebron = collect_nebron_rows();
    iexml card;
    const bool saved = card.save_card(main, balance, bron, nebron, path, base + ".xml");
    show_card_file_messages(card.messages());
    // Only a card that is really on disk counts as saved for the question on closing.
    if (saved)
        take_snapshot(main, balance, bron, nebron);
}

// ---- Opening ----

void Widget::on_open_Button_clicked()
{
    const QString path = QFileDialog::getOpenFileName(this, u(caption_open), default_folder(), u(filter_open));
    if (path.endsWith(u(card_extension)))
        open_card_file(path);
    if (path.right(3) == u(temp_ending))
        load_from_reg(path);
}

void Widget::open_card_file(const QString &path)
{
    if (path.isEmpty()) {
        show_notice(QMessageBox::Information, u(title_10001), u(text_10001), false);
        return;
    }
    if (path.endsWith(u(card_extension))) {
        iexml card;
        std::unique_ptr<nProgress> progress;
        card.set_old_password_progress([&progress](int, int, const QString &text) {
            if (!progress) {
                progress.reset(new nProgress);
                progress->set_progress_bar_visible(false);
                progress->setWindowTitle(iexml::old_password_progress_title());
                progress->setWindowFlags(Qt::WindowStaysOnTopHint);
                progress->show();
            }
            progress->set_text(text);
            QCoreApplication::processEvents();
        });
        const QVector<QString> main = card.open_card(path);
        progress.reset();
        show_card_file_messages(card.messages());
        // A card that could not be read leaves the window as it was.
        if (main.isEmpty())
            return;
        fill_from_card(main, card.open_card("Getbalance"), card.open_card("Getbron"), card.open_card("Getnebron"));
        return;
    }
    if (path.right(3) == u(temp_ending))
        load_from_reg(path);
}

// ---- Closing ----

void Widget::closeEvent(QCloseEvent *event)
{
    if (!card_changed()) {
        // Pickers and help are top-level windows of their own: the program ends only when they go too.
        close_child_windows();
        event->accept();
        return;
    }

    MessageSetup question;
    question.icon = QMessageBox::Question;
    question.title = u(title_exit);
    question.text = u(text_exit);
    question.buttons = QMessageBox::Save | QMessageBox::No | QMessageBox::NoToAll | QMessageBox::Cancel;
    question.labels = {{QMessageBox::Save, u(button_save)},
                       {QMessageBox::No, u(button_no)},
                       {QMessageBox::NoToAll, u(button_later)},
                       {QMessageBox::Cancel, u(button_cancel)}};
    question.default_button = QMessageBox::Save;

    switch (run_message(msg_box, question)) {
    case QMessageBox::Save:
        on_save_Button_clicked();
        event->ignore();
        return;
    case QMessageBox::No:
        close_child_windows();
        event->accept();
        return;
    case QMessageBox::NoToAll:
        save_to_temp();
        if (temp_saved == 1) {
            MessageSetup setup;
            setup.icon = QMessageBox::Question;
            setup.title = u(title_exit);
            setup.text = u(text_close_program);
            setup.buttons = QMessageBox::Save | QMessageBox::Cancel;
            setup.labels.append({QMessageBox::Save, u(button_yes_close)});
            setup.labels.append({QMessageBox::Cancel, u(button_no_close)});
            setup.default_button = QMessageBox::Save;
            if (run_message(msg_box, setup) == QMessageBox::Save) {
                close_child_windows();
                event->accept();
                return;
            }
        }
        event->ignore();
        return;
    default:
        event->ignore();
        return;
    }
}

// ---- The unfinished-card file ----

void Widget::save_to_temp()
{
    temp_saved = 0;
    const QString proposal = default_folder() + u(temp_name_head) +
                             QDateTime::currentDateTime().toString(u(temp_date_format)) + u(temp_extension);
    QString path = QFileDialog::getSaveFileName(this, u(caption_save_as), proposal, u(filter_temp));
    if (path.isEmpty()) {
        show_notice(QMessageBox::Information, u(title_10001), u(text_10001), false);
        return;
    }
    if (iexml::refused_member_name(base_name(path, u(temp_extension)))) {
        show_notice(QMessageBox::Critical, u(card_text::title_bad_name), u(card_text::text_bad_name), false);
        return;
    }
    // Without its extension the file would not be offered for opening.
    if (!path.endsWith(u(temp_extension)))
        path += u(temp_extension);
    if (!write_temp_card(path))
        return;

    temp_saved = 1;
    show_notice(QMessageBox::Information, u(card_text::title_success),
                u(card_text::text_saved) + path + u(text_temp_saved_tail), true);
    QSettings settings(app_settings::organisation, app_settings::application);
    if (settings.value(app_settings::oldset, app_settings::oldset_missing).toString() !=
        QString::number(app_settings::oldset_never_remind))
        settings.setValue(app_settings::oldset, app_settings::oldset_temp_saved);
    settings.remove(app_settings::obsolete_queltmas);
}

bool Widget::write_temp_card(const QString &path)
{
    const QVector<QString> main = collect_card_values();
    const QVector<QString> balance = collect_balance_rows();
    const QVector<QString> bron = collect_bron_rows();
    const QVector<QString> nebron = collect_nebron_rows();
    iexml card;
    TempCardFile file;
    const bool written = file.write(path, card.write_card_xml(main, balance, bron, nebron).toString(1));
    for (const CardMessage &m : file.messages())
        show_notice(box_icon(m.icon), m.title, m.text, m.styled);
    return written;
}

void Widget::load_from_reg(QString str)
{
    if (str.isEmpty()) {
        show_notice(QMessageBox::Information, u(title_10001), u(text_10001), false);
        return;
    }
    iexml card;
    TempCardFile file;
    const bool read = file.read(str, card);
    for (const CardMessage &m : file.messages())
        show_notice(box_icon(m.icon), m.title, m.text, m.styled);
    if (!read)
        return;
    // An unfinished card is not a saved card: closing still asks.
    fill_from_card(card.card_values, card.balance_rows, card.bron_rows, card.nebron_rows, false);
}
