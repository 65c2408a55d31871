// Saving, opening and closing a card, and the unfinished-card file.
#include "ui_widget.h"
#include "widget.h"

#include "archiver.h"
#include "card_texts.h"
#include "iexml.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

namespace
{

const char *const title_bad_name = "Недопустимое имя файла!";
const char *const text_bad_name = "ОШИБКА! Имя файла не должно начинаться с символов + или -";
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
const char *const text_temp_failed = "Процесс сохранения данных закончился некорректно или нажата кнопка "
                                     "''Отмена''.\nПопробуйте сохранить файл в другую папку или переустановить "
                                     "программу.";
const char *const text_temp_read_error = "Ошибка чтения файла!\nПроверьте наличие прав на запись в папку программы и "
                                         "папку с сохраняемым файлом ";
const char *const text_temp_read_error_tail =
    " или обратитесь к Вашему системному администратору.\n\nВНИМАНИЕ!\nПри ограничении прав на запись сохранение "
    "введенных данных также будет невозможно!";

// The unfinished-card file: one member, an INI file whose key holds the card document.
const char *const temp_password = "ZAR@wind";
const char *const temp_member = "qt.lib";
const char *const temp_key = "qt/temp";
const char *const card_extension = "quelt";
const char *const temp_extension = ".qtemp";
const char *const temp_ending = "emp";
const char *const marker_key = "settings/oldset";
const char *const marker_default = "no_oldset_in_REG";
const char *const marker_never = "2";
const char *const obsolete_key = "settings/queltmas";

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

bool refused_name(const QString &base)
{
    return base.startsWith('+') || base.startsWith('-');
}

// The unfinished-card file keeps the card as a QVector<QString> variant: the type and its
// stream operators must be known before such a value is written or read.
void register_card_text_type()
{
    qRegisterMetaType<QVector<QString>>("QVector<QString>");
    qRegisterMetaTypeStreamOperators<QVector<QString>>("QVector<QString>");
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
        box.setIcon(m.icon == CardMessage::Critical  ? QMessageBox::Critical
                    : m.icon == CardMessage::Warning ? QMessageBox::Warning
                                                     : QMessageBox::Information);
        box.setWindowTitle(m.title);
        box.setText(m.text);
        box.setStyleSheet(m.style_sheet());
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    }
}

// Folder an unfinished card is named after in the read-error message.
QString folder_of(const QString &path)
{
    int cut = path.lastIndexOf('/');
    if (cut < 0)
        cut = path.lastIndexOf('\\');
    return cut < 0 ? QString() : path.left(cut + 1);
}

bool replace_file(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
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
    if (refused_name(base)) {
        show_notice(QMessageBox::Critical, u(title_bad_name), u(text_bad_name), false);
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

    msg_box.setIcon(QMessageBox::Question);
    msg_box.setWindowTitle(u(title_exit));
    msg_box.setText(u(text_exit));
    msg_box.setStandardButtons(QMessageBox::Save | QMessageBox::No | QMessageBox::NoToAll | QMessageBox::Cancel);
    msg_box.setButtonText(QMessageBox::Save, u(button_save));
    msg_box.setButtonText(QMessageBox::No, u(button_no));
    msg_box.setButtonText(QMessageBox::NoToAll, u(button_later));
    msg_box.setButtonText(QMessageBox::Cancel, u(button_cancel));
    msg_box.setDefaultButton(QMessageBox::Save);

    switch (msg_box.exec()) {
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
            msg_box.setIcon(QMessageBox::Question);
            msg_box.setWindowTitle(u(title_exit));
            msg_box.setText(u(text_close_program));
            msg_box.setStandardButtons(QMessageBox::Save | QMessageBox::Cancel);
            msg_box.setButtonText(QMessageBox::Save, u(button_yes_close));
            msg_box.setButtonText(QMessageBox::Cancel, u(button_no_close));
            msg_box.setDefaultButton(QMessageBox::Save);
            if (msg_box.exec() == QMessageBox::Save) {
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
    if (refused_name(base_name(path, u(temp_extension)))) {
        show_notice(QMessageBox::Critical, u(title_bad_name), u(text_bad_name), false);
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
    QSettings settings("Trevane", "QUELT");
    if (settings.value(marker_key, u(marker_default)).toString() != marker_never)
        settings.setValue(marker_key, 1);
    settings.remove(obsolete_key);
}

bool Widget::write_temp_card(const QString &path)
{
    const QString title = u(card_text::title_error);
    const auto not_created = [&](const QString &where) {
        show_notice(QMessageBox::Critical, title,
                    u(card_text::text_document_not_created) + where + u(card_text::text_administrator_tail), true);
        return false;
    };
    const auto failed = [&] {
        show_notice(QMessageBox::Warning, title, u(text_temp_failed), true);
        return false;
    };

    Archiver archiver;
    if (!archiver.found()) {
        show_notice(QMessageBox::Critical, title, u(card_text::text_archiver_missing), true);
        return false;
    }

    // The settings file with the plain card lives only in a private folder of its own.
    QTemporaryDir plain(QDir::tempPath() + "/quelt-temp-XXXXXX");
    if (!plain.isValid())
        return not_created(QDir::tempPath() + "/" + u(temp_member));
    const QString scratch = plain.path() + "/" + u(temp_member);
    {
        register_card_text_type();
        const QVector<QString> main = collect_card_values();
        const QVector<QString> balance = collect_balance_rows();
        const QVector<QString> bron = collect_bron_rows();
        const QVector<QString> nebron = collect_nebron_rows();
        iexml card;
        const QVector<QString> stored = {card.write_card_xml(main, balance, bron, nebron).toString(1)};
        QSettings file(scratch, QSettings::IniFormat);
        file.setValue(u(temp_key), QVariant::fromValue(stored));
        file.sync();
        if (file.status() != QSettings::NoError || !QFileInfo(scratch).isFile())
            return not_created(scratch);
    }

    // The archive is built beside the target and replaces it only once it is complete.
    const QFileInfo target(path);
    QTemporaryDir staging(target.absolutePath() + "/.quelt-temp-XXXXXX");
    if (!staging.isValid())
        return not_created(target.absolutePath() + "/");
    const QString staged = staging.path() + "/card.7z";
    if (archiver.pack(staged, scratch, u(temp_password)) != 0 || !QFileInfo(staged).isFile())
        return failed();
    if (!replace_file(staged, target.absoluteFilePath()))
        return failed();
    return true;
}

void Widget::load_from_reg(QString str)
{
    if (str.isEmpty()) {
        show_notice(QMessageBox::Information, u(title_10001), u(text_10001), false);
        return;
    }
    const QString title = u(card_text::title_error);
    const auto read_error = [&] {
        show_notice(QMessageBox::Critical, title,
                    u(text_temp_read_error) + folder_of(str) + u(text_temp_read_error_tail), true);
    };

    Archiver archiver;
    if (!archiver.found()) {
        show_notice(QMessageBox::Critical, title, u(card_text::text_archiver_missing), true);
        read_error();
        return;
    }

    // Unpacked into a private folder that goes away with everything in it.
    QTemporaryDir work(QDir::tempPath() + "/quelt-temp-XXXXXX");
    if (!work.isValid() || archiver.extract(str, work.path(), u(temp_password)) != 0) {
        read_error();
        return;
    }
    const QFileInfo scratch(work.path() + "/" + u(temp_member));
    if (scratch.isSymLink() || !scratch.isFile()) {
        read_error();
        return;
    }
    QVector<QString> stored;
    {
        register_card_text_type();
        QSettings file(scratch.filePath(), QSettings::IniFormat);
        const QVariant value = file.value(u(temp_key));
        if (value.userType() == qMetaTypeId<QVector<QString>>())
            stored = value.value<QVector<QString>>();
    }
    work.remove();

    iexml card;
    if (stored.isEmpty() || !card.read_card_document(stored.first().toUtf8())) {
        read_error();
        return;
    }
    // An unfinished card is not a saved card: closing still asks.
    fill_from_card(card.card_values, card.balance_rows, card.bron_rows, card.nebron_rows, false);
}
