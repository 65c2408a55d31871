// The print command on a real window: the values gathered from the form, the document printed to a
// PDF file through the hidden view, and the gate, printer question and preview of the command.
#include "card_form.h"
#include "form_helpers.h"
#include "print_view.h"
#include "test_support.h"
#include "ui_widget.h"
#include "widget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>

using test_support::set_fields;

namespace
{

// A card of an organisation that reserves nobody and passes every rule of the gate.
const QString valid_card =
    "le_INN=7707083893|le_KPP=770701001|le_OGRN=1027700132195|le_OKPO=00032537|le_RegNo=54076|"
    "te_orgname=Общество с ограниченной ответственностью \"Ромашка\"|te_orgname2=ООО \"Ромашка\"|"
    "le_okato=40262563000|lineEdit_11=12300|lineEdit_13=Общества с ограниченной ответственностью|lineEdit_25=16|"
    "le_osn_ved=62.01|dateINN=2010-05-14|lineEdit=Генеральный директор|le_FamRuk=Петров|le_ImRuk=Пётр|"
    "le_OtRuk=Ильич|le_TelRuk=(812)-123-45-67|le_DopRuk=77|le_DolgVur=Инспектор|le_FamVur=Сидорова|le_ImVur=Анна|"
    "le_TelVur=(812)-765-43-21|lineEdit_10=office@romashka.ru|lineEdit_29=190000|lineEdit_23=Невский пр.|"
    "lineEdit_9=10|lineEdit_37=Невский пр.|lineEdit_34=10|lineEdit_21=Садовая ул.|lineEdit_8=5|sb_f6_all=10|"
    "te_dopinfo=Филиалов нет|ob_ruk=Петров П.И.";

// What the command showed: every modal window's title, in order, and what the preview held.
struct Seen {
    QStringList titles;
    int preview_pages = -1;
    QPrinter::Orientation preview_orientation = QPrinter::Portrait;
};

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
        if (!modal || modal == last)
            return;
        last = modal;
        seen.titles << modal->windowTitle();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
            for (QAbstractButton *b : box->buttons())
                if (answer.isEmpty() || b->text() == answer)
                    return b->click();
            return box->done(-1);
        }
        if (auto *preview = qobject_cast<QPrintPreviewDialog *>(modal)) {
            auto *pages = preview->findChild<QPrintPreviewWidget *>();
            seen.preview_pages = pages->pageCount();
            seen.preview_orientation = pages->orientation();
            const QString dir = qEnvironmentVariable("QUELT_PREVIEW_SHOTS");
            if (!dir.isEmpty() && !shot.isEmpty())
                preview->grab().save(QDir(dir).filePath(shot + ".png"));
            return preview->reject();
        }
        qobject_cast<QDialog *>(modal)->reject();
    }
    QStringList answers;
    QString shot;
    QWidget *last = nullptr;
    QTimer timer;
};

// Prints the HTML through a fresh hidden view into a PDF file as the window's printer would.
QString print_to_pdf(const QString &html, const QString &path, QPageLayout::Orientation orientation)
{
    std::unique_ptr<QWebView> view(printing::make_print_view());
    if (!printing::load_print_html(view.get(), html))
        return "not loaded";
    QPrinter pdf(QPrinter::ScreenResolution);
    printing::set_printer_defaults(pdf);
    pdf.setPageOrientation(orientation);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(path);
    view->print(&pdf);
    return QString();
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestPrintWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<Widget> window;
    QTemporaryDir dir;

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
        QCOMPARE(window->print_html, html);
        QCOMPARE(window->template_path, QString(":/template/template/quelt.html"));
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
        QCOMPARE(print_to_pdf(window->print_card(), pdf, QPageLayout::Landscape), QString());
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
        QVERIFY(window->web_view);
        QVERIFY(window->print_html.contains("Петров Пётр Ильич"));
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
        QVERIFY(window->print_html.isEmpty());
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
        QCOMPARE(seen.titles, titles);
        QCOMPARE(window->print_html.isEmpty(), answer == "Нет");
        QCOMPARE(window->msg_box.text(), QString("Программой не обнаружен подключенный принтер. Отображение "
                                                 "карточки может быть не верным. Продолжить?"));
        QCOMPARE(window->msg_box.defaultButton(), window->msg_box.button(QMessageBox::Cancel));
    }
};

QUELT_TEST_MAIN(TestPrintWindow)
#include "tst_print_window.moc"
