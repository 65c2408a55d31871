#pragma once

#include <QCoreApplication>
#include <QString>

// Titles and texts of the card file's messages, as the user sees them.
namespace card_text
{

const char *const title_error = "Ошибка!";
const char *const title_success = "Успешно!";
const char *const title_notice = "Уведомление!";
const char *const title_10002 = "Ошибка 10002!";
const char *const title_10003 = "Ошибка 10003!";
const char *const title_old_password_progress = "Старая версия файла!";
const char *const text_document_not_created =
    "Ошибка создания файла, возможны сбои при его загрузке!\nПроверьте наличие прав на запись в папку ";
const char *const text_administrator_tail = " или обратитесь к Вашему системному администратору.";
const char *const text_archiver_missing = "Ошибка - в папке программы не найден файл 7z.exe!\nПереустановите ПО "
                                          "''Морвель'' или обратитесь к Вашему системному администратору.";
const char *const text_saved = "Данные сохранены в файл ";
const char *const text_saved_tail = "\nДанный файл (.quelt) можно сдавать в ИОГВ.";
const char *const text_save_failed = "Процесс сохранения данных закончился некорректно.\nПопробуйте сохранить файл в "
                                     "другую папку или переустановить программу.";
const char *const text_10002 = "Зафиксирована ошибка временной папки.\nПожалуйста, попробуйте открыть этот файл ещё "
                               "раз или вручную удалите все файлы и папки из каталога программы: ";
const char *const text_10003 = "Допущена ошибка в имени файла, которая может помешать его открытию.";
const char *const text_read_error =
    "Ошибка чтения файла!\nПроверьте наличие прав на запись во временную папку программы ";
const char *const text_read_error_tail =
    " или обратитесь к Вашему системному администратору.\n\nВНИМАНИЕ!\nПри ограничении прав на запись сохранение "
    "введенных данных также будет невозможно!";
const char *const text_old_version =
    "Вы открываете старую версию файла ''Морвель''.\n\nВ связи с существенным изменением общероссийских "
    "классификаторов, а также Перечня должностей и профессий, по которым бронируются граждане, Вам необходимо ввести "
    "некоторые поля заново!";
const char *const text_old_password_progress =
    "Файл quelt создан в программе Морвель старой версии. Производится открытие файла: ";
const char *const title_bad_name = "Недопустимое имя файла!";
const char *const text_bad_name = "ОШИБКА! Имя файла не должно начинаться с символов + или -";
// A file that may not be written is never replaced: the path goes between these two.
const char *const text_read_only = "Файл ";
const char *const text_read_only_tail = " защищен от записи и не может быть заменен.\nСохраните данные в другой файл "
                                        "или снимите с файла атрибут ''Только чтение''.";
const char *const message_style = "font-size: %1px";
// Second line of message 10003: where the user sends a file whose inner name is damaged.
// The address is a placeholder until the developer's real address is known.
const char *const text_10003_contact = "Пожалуйста, отправьте этот файл разработчику для восстановления: ";
const char *const developer_contact = "quelt-support@trevane.example";
// Pixel size of the messages' font.
constexpr int message_font_px = 12;

// A text of this file as the user sees it.
inline QString tr_text(const char *text)
{
    return QCoreApplication::translate("iexml", text);
}

// The file could not be written into `folder`.
inline QString not_created_text(const QString &folder)
{
    return tr_text(text_document_not_created) + folder + tr_text(text_administrator_tail);
}

} // namespace card_text
