// The print command on a real window: the values gathered from the form, the document printed to a
// PDF file through the hidden view, and the gate, printer question and preview of the command.
#include "balance/balance_rules.h"
#include "classifier/classifier_reader.h"
#include "mainwindow/widget.h"
#include "printing/print_rules.h"
#include "printing/print_view.h"
#include "tests/support/form_helpers.h"
#include "tests/support/test_support.h"
#include "tests/support/valid_card.h"
#include "ui_widget.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QScreen>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>

using test_support::set_fields;

namespace
{

const QString valid_card = test_support::valid_card_fields;

// What the command showed: every modal window's title, in order, and what the preview held.
struct Seen {
    QStringList titles;
    // The buttons and the default of the first message box, and whether Escape left it.
    QStringList first_buttons;
    QString first_default;
    bool escape_closed_first = false;
    int preview_pages = -1;
    QPrinter::Orientation preview_orientation = QPrinter::Portrait;
    // The orientation button checked in the preview's toolbar.
    QString toolbar_orientation;
};

QString tr_preview(const char *text)
{
    return QCoreApplication::translate("QPrintPreviewDialog", text);
}

// Answers the modal windows of one command while it lives: message boxes with the next answer of the
// list (a box beyond the list with its first button), the preview by looking at it and closing it.
class ModalWatch
{
public:
    explicit ModalWatch(QStringList answers, QString shot = QString()) : answers(std::move(answers)), shot(shot)
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { poll(); });
        timer.start(20);
    }
    Seen seen;

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        // The window's one message box comes back with new texts: a box is known by its texts too.
        const QString key =
            modal ? QString::number(quintptr(modal)) + modal->windowTitle() +
                        (qobject_cast<QMessageBox *>(modal) ? qobject_cast<QMessageBox *>(modal)->text() : "")
                  : QString();
        if (key == last)
            return;
        last = key;
        if (!modal)
            return;
        seen.titles << modal->windowTitle();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            if (seen.titles.size() == 1) {
                for (QAbstractButton *b : box->buttons())
                    seen.first_buttons << b->text();
                seen.first_buttons.sort();
                seen.first_default = box->defaultButton() ? box->defaultButton()->text() : QString();
            }
            const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
            if (answer == "<Enter>") {
                QTest::keyClick(box, Qt::Key_Escape);
                if (seen.titles.size() == 1)
                    seen.escape_closed_first = !box->isVisible();
                return QTest::keyClick(box, Qt::Key_Return);
            }
            for (QAbstractButton *b : box->buttons())
                if (answer.isEmpty() || b->text() == answer)
                    return b->click();
            return box->done(-1);
        }
        if (auto *preview = qobject_cast<QPrintPreviewDialog *>(modal)) {
            auto *pages = preview->findChild<QPrintPreviewWidget *>();
            seen.preview_pages = pages->pageCount();
            seen.preview_orientation = pages->orientation();
            for (const QActionGroup *group : preview->findChildren<QActionGroup *>())
                if (group->checkedAction() && (group->checkedAction()->text() == tr_preview("Portrait") ||
                                               group->checkedAction()->text() == tr_preview("Landscape")))
                    seen.toolbar_orientation = group->checkedAction()->text();
            const QString dir = qEnvironmentVariable("QUELT_PREVIEW_SHOTS");
            if (!dir.isEmpty() && !shot.isEmpty())
                preview->grab().save(QDir(dir).filePath(shot + ".png"));
            return preview->reject();
        }
        qobject_cast<QDialog *>(modal)->reject();
    }
    QStringList answers;
    QString shot;
    QString last;
    QTimer timer;
};

// Prints the HTML through a fresh hidden view into a PDF file as the window's printer would. `tables`
// gets the five-digit cells of each table of the printed page, table by table.
QString print_to_pdf(const QString &html, const QString &path, QPageLayout::Orientation orientation, int dpi,
                     QVector<QStringList> *tables = nullptr)
{
    std::unique_ptr<QWebView> view(printing::make_print_view());
    if (!printing::load_print_html(view.get(), html))
        return "not loaded";
    QPrinter pdf(QPrinter::ScreenResolution);
    printing::set_printer_defaults(pdf);
    pdf.setPageOrientation(orientation);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(path);
    printing::print_document(view.get(), &pdf, dpi);
    const QRegularExpression code("^\\d{5}$");
    for (const QWebElement &table : view->page()->mainFrame()->findAllElements("table.sample")) {
        QStringList codes;
        for (const QWebElement &cell : table.findAll("td"))
            if (code.match(cell.toPlainText()).hasMatch())
                codes << cell.toPlainText();
        if (tables)
            tables->append(codes);
    }
    return QString();
}

// Balance rows of workers in main production, position codes from 10000 on, with their figures.
void add_balance_rows(QStandardItemModel *model, int count, int first_code = 10000)
{
    for (int i = 0; i < count; ++i) {
        const balance::BalanceRow row = test_support::worker_row(QString::number(first_code + i));
        QList<QStandardItem *> items;
        for (const QString &text : row.cells)
            items << new QStandardItem(text);
        model->appendRow(items);
    }
}

// A word of a PDF sheet and its box in points.
struct Word {
    QString text;
    QRectF box;
};

// Position codes (five digits) among words.
QStringList position_codes(const QVector<Word> &words)
{
    QStringList codes;
    for (const Word &word : words)
        if (QRegularExpression("^\\d{5}$").match(word.text).hasMatch())
            codes << word.text;
    return codes;
}

const Word *find_word(const QVector<Word> &words, const QString &text)
{
    for (const Word &word : words)
        if (word.text == text)
            return &word;
    return nullptr;
}

// The position codes the balance body put on each sheet: its sheets end at the page-break rows.
QVector<QStringList> codes_per_sheet(const QString &html)
{
    QVector<QStringList> sheets;
    const QRegularExpression cell("<td>(\\d{5})</td>");
    for (const QString &sheet : html.split("<TR class=\"page-break\"></TR>")) {
        QStringList codes;
        for (auto it = cell.globalMatch(sheet); it.hasNext();)
            codes << it.next().captured(1);
        sheets << codes;
    }
    return sheets;
}

int pdf_pages(const QString &info)
{
    return QRegularExpression("Pages:\\s+(\\d+)").match(info).captured(1).toInt();
}

// With QUELT_PREVIEW_SHOTS set, a copy of the file goes there to be looked at.
void keep_for_review(const QString &path, const QString &name)
{
    const QString dir = qEnvironmentVariable("QUELT_PREVIEW_SHOTS");
    if (!dir.isEmpty())
        QFile::copy(path, QDir(dir).filePath(name + "." + QFileInfo(path).suffix()));
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The words of one sheet of a PDF file, top to bottom.
QVector<Word> sheet_words(const QString &pdf, int page)
{
    const QString bbox =
        run("pdftotext", {"-bbox", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
    QVector<Word> words;
    const QRegularExpression word(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>");
    for (auto it = word.globalMatch(bbox); it.hasNext();) {
        const auto m = it.next();
        words << Word{m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                            QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))};
    }
    std::stable_sort(words.begin(), words.end(),
                     [](const Word &a, const Word &b) { return a.box.top() < b.box.top(); });
    return words;
}

// Where the borderless rows of a balance sheet stand, anything dark is a box drawn around them: left of
// the lower running title (the footer row, and the filler rows up from it to the total row) and left of
// the sheet's number. The areas found dark, or nothing.
QStringList boxes_around_borderless_rows(const QString &pdf, int page, const QVector<Word> &words)
{
    QTemporaryDir dir;
    run("pdftoppm", {"-r", "72", "-gray", "-png", "-singlefile", "-f", QString::number(page), "-l",
                     QString::number(page), pdf, dir.filePath("sheet")});
    const QImage image(dir.filePath("sheet.png"));
    QStringList dark;
    const auto check = [&](const QString &name, const QRectF &area) {
        // At 72 dpi a pixel is a point.
        const QRect pixels = area.toRect() & image.rect();
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            for (int x = pixels.left(); x <= pixels.right(); ++x)
                if (qGray(image.pixel(x, y)) < 160)
                    return void(dark << name);
    };
    if (const Word *title = find_word(words, "Экземпляр")) {
        double top = title->box.center().y() - 1;
        const Word *total = find_word(words, "ВСЕГО");
        if (total && total->box.bottom() < top && !find_word(words, "Примечания:"))
            top = total->box.bottom() + 3;
        check("footer", QRectF(QPointF(0, top), QPointF(title->box.left() - 1, title->box.center().y())));
    }
    if (page > 1 && !words.isEmpty())
        check("sheet number",
              QRectF(QPointF(0, 0), QPointF(words.first().box.left() - 2, words.first().box.center().y())));
    return dark;
}

// The faces a PDF file embeds, without their subset prefix.
QSet<QString> pdf_fonts(const QString &pdf)
{
    QSet<QString> fonts;
    const QStringList lines = run("pdffonts", {pdf}).split('\n', Qt::SkipEmptyParts);
    for (const QString &line : lines.mid(2))
        fonts << line.section(' ', 0, 0).remove(QRegularExpression("^[A-Z]{6}\\+"));
    return fonts;
}

// The title of a template, which a document built from it keeps.
QString template_title(const QString &file)
{
    const QString html = printing::load_template(":/template/template/" + file);
    return QRegularExpression("<title>([^<]*)</title>").match(html).captured(1);
}

// The text of the page the print view holds.
QString loaded_text(const QWebView *view)
{
    return view->page()->mainFrame()->toPlainText();
}

} // namespace

class TestPrintWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<Widget> window;
    QTemporaryDir dir;

    // Item 4 "Да" with a small balance, still passing the gate.
    void make_reserving(int rows = 1)
    {
        set_fields(*window, "cb_kat_b=Да|le_VK=Военный комиссариат Центрального района|VK_org=012|"
                            "ob_ruk=Удостоверение 1|ob_ruk_gou=УМЦ|ob_vur=Удостоверение 2|ob_vur_gou=УМЦ|"
                            "ob_mob=Удостоверение 3|ob_mob_gou=УМЦ");
        // Each row: two at work, one leaving on mobilisation, one reserved, two needed.
        set_fields(*window, QString("sb_f6_all=%1|sb_f6_of=%2|sb_f6_neof=%2|sb_f6_bron_of=%2|sb_f6_bron_neof=0|"
                                    "sb_f6_mp=%2")
                                .arg(2 * rows)
                                .arg(rows));
        add_balance_rows(window->balance_model, rows);
        set_fields(*window, QString("sb_b_all=%1|sb_b_rab=%1|sb_b_bron=%2|sb_b_rab_bron=%2|sb_b_sum_mp=%2|"
                                    "sb_b_sum_treb=%1|sb_b_treb_rab=%1")
                                .arg(2 * rows)
                                .arg(rows));
        QCOMPARE(window->ui->cb_kat_b->currentText(), QString("Да"));
    }

    Seen click_print(const QStringList &answers, const QString &shot = QString())
    {
        ModalWatch watch(answers, shot);
        window->ui->print_Button->click();
        QCoreApplication::processEvents();
        return watch.seen;
    }

private slots:
    void init()
    {
        window.reset(new Widget);
        set_fields(*window, valid_card + "|dateZap=" + QDate::currentDate().toString(Qt::ISODate));
        window->printer_available = [] { return true; };
    }
    void cleanup() { window.reset(); }

    void card_is_built_from_the_form()
    {
        set_fields(*window, "te_orgname=  ООО   \"Ромашка\"\nи партнёры|te_up_l=Экз. 1|lineEdit_18=12|le_FaxRuk=()---");
        window->print_dpi_override = 120;
        const QString html = window->print_card();
        QVERIFY(html.contains("<title>" + template_title("quelt.html") + "</title>"));
        const QStringList expected{
            "ООО &quot;Ромашка&quot; и партнёры",
            "54076-А",
            "Генеральный директор </font><font class=\"zagolovok\">Петров Пётр Ильич</font>",
            "(812)-123-45-67 (77)",
            "Факс: </font>",
            "14.05.2010, КПП 770701001",
            "Санкт-Петербург, Садовая ул., д.5, помещ.12",
            "190000,  Невский пр., д.10",
            "Филиалов нет<br>15. Данные по обучению:<br>ОМП - Петров П.И. / 01.01.2000 / <br>ВУ - ",
            "П.И. Петров",
            "html{height:1080;}",
            "Экз. 1",
            "версия программы 3.2025",
            QDate::currentDate().toString("dd.MM.yyyy") + " г.",
        };
        for (const QString &text : expected)
            QVERIFY2(html.contains(text), qPrintable(text));
        QVERIFY(!html.contains("<!---120"));
        QVERIFY(!window->progress_window.isVisible());
    }

    void card_prints_on_one_landscape_page_with_markup_as_text()
    {
        set_fields(*window, "te_dopinfo=<script>alert(1)</script>|lineEdit_36=<b>x</b>");
        const QString pdf = dir.filePath("card.pdf");
        QCOMPARE(print_to_pdf(window->print_card(), pdf, QPageLayout::Landscape, window->print_dpi()), QString());
        const QString info = run("pdfinfo", {pdf});
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression("Page size:\\s+84[12](\\.[0-9]+)? x 595(\\.[0-9]+)? pts \\(A4\\)")),
                 qPrintable(info));
        const QString text = run("pdftotext", {"-layout", pdf, "-"}).simplified();
        for (const char *expected : {"Общество с ограниченной ответственностью \"Ромашка\"", "версия программы 3.2025",
                                     "<script>alert(1)</script>", "<b>x</b>", "Петров Пётр Ильич", "7707083893"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(QString::fromUtf8(expected) + "\n" + text));
    }

    void hidden_view_runs_no_script_and_loads_nothing()
    {
        QImage picture(200, 100, QImage::Format_RGB32);
        picture.fill(Qt::red);
        const QString picture_path = dir.filePath("picture.png");
        QVERIFY(picture.save(picture_path));
        std::unique_ptr<QWebView> view(printing::make_print_view());
        QVERIFY(printing::load_print_html(view.get(), "<html><head><title>before</title></head><body>"
                                                      "<script>document.title = 'ran';</script><img id=\"p\" src=\"" +
                                                          QUrl::fromLocalFile(picture_path).toString() +
                                                          "\"><img src=\"http://127.0.0.1:9/x.png\"></body></html>"));
        QCOMPARE(view->title(), QString("before"));
        QVERIFY(printing::refused_requests(view.get()) >= 1);
        QVERIFY(view->page()->mainFrame()->findFirstElement("#p").geometry().width() != 200);
    }

    void preview_shows_the_card_in_landscape()
    {
        // An earlier print may have left the printer in portrait: the card is still a landscape sheet.
        window->printer.setPageOrientation(QPageLayout::Portrait);
        const Seen seen = click_print({}, "card");
        QCOMPARE(seen.titles, QStringList{"Печать"});
        QCOMPARE(seen.preview_pages, 1);
        QCOMPARE(seen.preview_orientation, QPrinter::Landscape);
        QCOMPARE(seen.toolbar_orientation, tr_preview("Landscape"));
        QVERIFY(window->web_view);
        QVERIFY(loaded_text(window->web_view).contains("Петров Пётр Ильич"));
        // A second print reuses the view.
        QWebView *view = window->web_view;
        QCOMPARE(click_print({}).titles, QStringList{"Печать"});
        QCOMPARE(window->web_view, view);
    }

    void preview_spans_the_screen_less_50_pixels_above_and_below()
    {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect area = window->preview_geometry();
        QCOMPARE(area.top(), available.top() + 50);
        QCOMPARE(area.bottom(), available.top() + available.height() - 51);
        QCOMPARE(area.width(), available.width());
    }

    void failed_gate_shows_only_its_own_messages()
    {
        set_fields(*window, "le_INN=");
        const Seen seen = click_print({});
        QVERIFY(!seen.titles.isEmpty());
        QVERIFY(!seen.titles.contains("Печать"));
        QVERIFY(!seen.titles.contains("Внимание"));
        QCOMPARE(seen.preview_pages, -1);
        QVERIFY(!window->web_view);
    }

    void a_page_that_does_not_load_is_reported_without_a_preview()
    {
        window->web_view = printing::make_print_view();
        connect(window->web_view, &QWebView::loadStarted, window->web_view, &QWebView::stop);
        const Seen seen = click_print({});
        QCOMPARE(seen.titles, QStringList{"Ошибка!"});
        QCOMPARE(seen.preview_pages, -1);
        QVERIFY(!window->preview_dialog);
    }

    void choice_of_document_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("template_path");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QString>("shot");
        QTest::newRow("card") << " ЦВЕЛТ " << QStringList{"Печать форм", "Печать"} << "quelt.html"
                              << int(QPrinter::Landscape) << "choice-card";
        QTest::newRow("balance") << " Баланс " << QStringList{"Печать форм", "Печать"} << "10org.html"
                                 << int(QPrinter::Landscape) << "balance";
        QTest::newRow("application") << " Заявка в ИОГВ "
                                     << QStringList{"Печать форм", "Нет данных о документе", "Печать"} << "Zaya.html"
                                     << int(QPrinter::Landscape) << "application";
        QTest::newRow("agreement") << " Соглашение " << QStringList{"Печать форм", "Печать"} << "soglash.html"
                                   << int(QPrinter::Portrait) << "agreement";
    }
    void choice_of_document()
    {
        QFETCH(QString, answer);
        QFETCH(QStringList, titles);
        QFETCH(QString, template_path);
        QFETCH(int, orientation);
        QFETCH(QString, shot);
        make_reserving(12);
        const Seen seen = click_print({answer}, shot);
        QCOMPARE(seen.titles.join(" | "), titles.join(" | "));
        QCOMPARE(window->web_view->title(), template_title(template_path));
        QCOMPARE(int(seen.preview_orientation), orientation);
        QCOMPARE(seen.toolbar_orientation, tr_preview(orientation == QPrinter::Portrait ? "Portrait" : "Landscape"));
        QCOMPARE(seen.preview_pages, template_path == "10org.html" ? 2 : 1);
        QVERIFY(loaded_text(window->web_view).contains("Ромашка"));
        QCOMPARE(window->ui->tabWidget->currentIndex(), template_path == "Zaya.html" ? 3 : 0);
    }

    void preview_of_a_long_balance_shows_the_counted_sheets()
    {
        make_reserving(1000);
        // Laid out for 144 dpi on the 100-dpi screen: the view prints into the preview through a printer at that dpi.
        window->print_dpi_override = 141;
        const Seen seen = click_print({" Баланс "});
        QCOMPARE(window->ui->sb_b_pages->value(), 49);
        QCOMPARE(seen.preview_pages, 49);
    }

    void choice_box_has_four_buttons_and_enter_picks_the_card()
    {
        make_reserving();
        const Seen seen = click_print({"<Enter>"});
        QCOMPARE(seen.titles.join(" | "), QString("Печать форм | Печать"));
        QCOMPARE(seen.first_buttons, (QStringList{" Баланс ", " Заявка в ИОГВ ", " Соглашение ", " ЦВЕЛТ "}));
        QCOMPARE(seen.first_default, QString(" ЦВЕЛТ "));
        QVERIFY(!seen.escape_closed_first);
        QCOMPARE(window->msg_box.text(), QString("Какую форму Вы хотите вывести на печать?"));
        QCOMPARE(window->web_view->title(), template_title("quelt.html"));
    }

    void card_after_the_agreement_is_landscape_again()
    {
        make_reserving();
        QCOMPARE(click_print({" Соглашение "}).preview_orientation, QPrinter::Portrait);
        QCOMPARE(window->printer.pageLayout().orientation(), QPageLayout::Portrait);
        {
            // Only the answer matters here, not the questions its change would ask.
            QSignalBlocker quiet(window->ui->cb_kat_b);
            window->ui->cb_kat_b->setCurrentText("Нет");
        }
        const Seen seen = click_print({});
        QCOMPARE(seen.titles, QStringList{"Печать"});
        QCOMPARE(seen.preview_orientation, QPrinter::Landscape);
    }

    void balance_print_sorts_the_table_and_sets_its_figures()
    {
        make_reserving();
        add_balance_rows(window->balance_model, 20, 30000);
        QStandardItemModel *model = window->balance_model;
        model->item(0, balance::col_key)->setText("9");
        model->item(3, balance::col_kind_code)->setText("2");
        model->item(4, balance::col_kind_code)->setText("3");
        const QString html = window->print_balance();
        for (int row = 1; row < model->rowCount(); ++row)
            QVERIFY(model->item(row - 1, balance::col_key)->text() <= model->item(row, balance::col_key)->text());
        QCOMPARE(model->item(20, balance::col_code)->text(), QString("10000"));
        QCOMPARE(window->ui->sb_b_pages->value(), 2);
        QCOMPARE(window->ui->sb_b_kol_vspom->value(), 2);
        QCOMPARE(window->ui->sb_b_kol_drsl->value(), 2);
        QCOMPARE(window->ui->sb_b_sum_vnesh->value(), 21);
        QCOMPARE(window->ui->sb_b_sum_est->value(), 0);
        QVERIFY(html.contains("ООО &quot;Ромашка&quot;, ОГРН 1027700132195"));
        QVERIFY(html.contains("html{height:1812;}"));
    }

    // Balances of positions from the carried classifier: the counted sheets are the printed ones.
    void documents_print_to_pdf_with_their_page_counts_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QStringList>("texts"); // in the PDF's text
        QTest::addColumn<int>("dpi");           // 0: the desktop's
        const QStringList balance_head{"ООО \"Ромашка\", ОГРН 1027700132195"};
        for (const auto &[rows, pages] : {std::pair{9, 1},
                                          {12, 2},
                                          {15, 2},
                                          {16, 2},
                                          {30, 2},
                                          {33, 3},
                                          {36, 3},
                                          {40, 3},
                                          {45, 3},
                                          {52, 4},
                                          {57, 4},
                                          {58, 4},
                                          {100, 6},
                                          {1000, 49}})
            QTest::addRow("balance of %d rows", rows) << "balance" << rows << pages << balance_head << 0;
        // Just above a step the larger style block's text on a page laid out for that block's dpi.
        for (int dpi : {111, 141})
            QTest::addRow("balance of 45 rows at %d dpi", dpi) << "balance" << 45 << 3 << balance_head << dpi;
        QTest::newRow("card") << "card" << 1 << 1 << QStringList{"Общество с ограниченной ответственностью"} << 0;
        // The application's columns 2 to 5, 8 and 11, the agreement's name, number and staff.
        QTest::newRow("application")
            << "application" << 1 << 1
            << QStringList{"Общество с ограниченной ответственностью \"Ромашка\" (ООО \"Ромашка\")",
                           "7707083893",
                           "770701001 14.05.2010",
                           "40262563000",
                           "Распоряжение от 01.02.2020 №12",
                           "Военный комиссариат Центрального района"}
            << 0;
        QTest::newRow("agreement") << "agreement" << 1 << 1
                                   << QStringList{"\"Общество с ограниченной ответственностью \"Ромашка\"\" ИНН "
                                                  "7707083893",
                                                  "составляет 2 (два) человек"}
                                   << 0;
    }
    void documents_print_to_pdf_with_their_page_counts()
    {
        QFETCH(QString, document);
        QFETCH(int, rows);
        QFETCH(int, pages);
        QFETCH(QStringList, texts);
        QFETCH(int, dpi);
        window->print_dpi_override = dpi;
        make_reserving(rows);
        if (document == "balance" && rows > 36)
            QTest::ignoreMessage(QtDebugMsg, "new newpage=57");
        set_fields(*window, "NPA_doc=Распоряжение|NPA_no=12|NPA_date=2020-02-01");
        QString html;
        auto orientation = QPageLayout::Landscape;
        if (document == "balance") {
            // At a set dpi, the longest ordinary names.
            const QVector<ClassifierRecord> positions = test_support::sampled_positions(rows, dpi ? 40 : 15);
            QCOMPARE(positions.size(), rows);
            for (int row = 0; row < rows; ++row) {
                window->balance_model->item(row, balance::col_key)->setText("14" + positions.at(row).code);
                window->balance_model->item(row, balance::col_code)->setText(positions.at(row).code);
                window->balance_model->item(row, balance::col_name)->setText(positions.at(row).name);
            }
            set_fields(*window, "te_down_l=Экземпляр 1");
            html = window->print_balance();
            QCOMPARE(window->ui->sb_b_pages->value(), pages);
        } else if (document == "card") {
            html = window->print_card();
        } else if (document == "application") {
            html = window->print_zaya();
        } else {
            html = window->print_soglash();
            orientation = QPageLayout::Portrait;
        }
        const QString pdf = dir.filePath(document + ".pdf");
        QVector<QStringList> tables;
        QCOMPARE(print_to_pdf(html, pdf, orientation, window->print_dpi(), &tables), QString());
        keep_for_review(pdf, QTest::currentDataTag());
        QCOMPARE(pdf_pages(run("pdfinfo", {pdf})), pages);
        const QString text = run("pdftotext", {pdf, "-"}).simplified();
        for (const QString &expected : texts)
            QVERIFY2(text.contains(expected), qPrintable(expected + "\n" + text));
        // One Times-metric face, whatever the system takes "times" or "serif" for.
        const QSet<QString> fonts = pdf_fonts(pdf);
        QVERIFY2(fonts.contains("LiberationSerif") &&
                     (fonts - QSet<QString>{"LiberationSerif", "LiberationSerif-Bold"}).isEmpty(),
                 qPrintable(QStringList(fonts.values()).join(' ')));
        if (document != "balance")
            return;
        // Every position code is printed once, on the sheet the body put it on; a later sheet starts with its number.
        const QVector<QStringList> sheets = codes_per_sheet(html);
        QCOMPARE(sheets.size(), pages);
        // The view splits the table at the sheet breaks, the first included: one table a sheet.
        QCOMPARE(tables, sheets);
        QStringList all;
        for (int page = 1; page <= pages; ++page) {
            const QVector<Word> words = sheet_words(pdf, page);
            QStringList printed = position_codes(words), expected = sheets.at(page - 1);
            printed.sort();
            expected.sort();
            QVERIFY2(printed == expected, qPrintable(QString("sheet %1: %2").arg(page).arg(printed.join(' '))));
            if (page > 1)
                QCOMPARE(words.value(0).text, QString::number(page));
            // One lower running title a sheet: the footer row, or on the last sheet the form's own.
            QCOMPARE(std::count_if(words.cbegin(), words.cend(), [](const Word &w) { return w.text == "Экземпляр"; }),
                     1);
            if (page <= 2 || page >= pages - 1)
                QCOMPARE(boxes_around_borderless_rows(pdf, page, words), QStringList());
            all << printed;
        }
        QCOMPARE(all.size(), rows);
        QCOMPARE(QSet<QString>(all.cbegin(), all.cend()).size(), rows);
        if (rows <= 15)
            return;
        // The columns of a continuation sheet stand where the first sheet's do.
        const QString bbox = run("pdftotext", {"-bbox", "-f", "1", "-l", "2", pdf, "-"});
        const QRegularExpression number("<word xMin=\"([0-9.]+)\"[^>]*>(10\\.1|4\\.2)</word>");
        QStringList columns;
        for (auto it = number.globalMatch(bbox); it.hasNext();) {
            const auto match = it.next();
            columns << match.captured(2) + "@" + QString::number(qRound(match.captured(1).toDouble()));
        }
        QCOMPARE(columns.size(), 4);
        QStringList first = columns.mid(0, 2), second = columns.mid(2);
        first.sort();
        second.sort();
        QCOMPARE(second, first);
    }

    void the_system_list_of_printers_decides()
    {
        if (printing::system_has_printer())
            QSKIP("this system has a print queue");
        // A printer object without a queue still calls itself valid; the question must come all the same.
        QVERIFY(window->printer.isValid());
        window->printer_available = nullptr;
        QCOMPARE(click_print({"Нет"}).titles, QStringList{"Внимание"});
    }

    void without_a_print_queue_the_user_is_asked_first_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("no") << "Нет" << QStringList{"Внимание"};
        QTest::newRow("yes") << "Да" << QStringList{"Внимание", "Печать"};
    }
    void without_a_print_queue_the_user_is_asked_first()
    {
        QFETCH(QString, answer);
        QFETCH(QStringList, titles);
        window->printer_available = [] { return false; };
        const Seen seen = click_print({answer});
        QCOMPARE(seen.titles.join(" | "), titles.join(" | "));
        QCOMPARE(!window->web_view, answer == "Нет");
        QCOMPARE(window->msg_box.text(), QString("Программой не обнаружен подключенный принтер. Отображение "
                                                 "карточки может быть не верным. Продолжить?"));
        QCOMPARE(window->msg_box.defaultButton(), window->msg_box.button(QMessageBox::Cancel));
    }
};

QUELT_TEST_MAIN(TestPrintWindow)
#include "tst_print_window.moc"
