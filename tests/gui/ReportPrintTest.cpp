// The Export/Report dialog and the print of the shown command, through the real widgets: the
// spreadsheet to a file, the command list and the shown command printed into a PDF file (no
// printer is installed here) and read back as text, the clipboard, and the refusals.

#include "GuiHome.h"

#include "ops/Texts.h"
#include "ui/Printing.h"
#include "ui/ReportDialog.h"
#include "ui/Texts.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTimer>

#include <fstream>
#include <iterator>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

std::string fileBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The text of a PDF file as pdftotext reads it; empty when pdftotext is not installed.
QString pdfText(const fs::path& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QString::fromStdString(pdf.string()), QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool havePdfToText() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

// Runs `work` on the Export/Report dialog once it is up.
void onDialog(const std::function<void(ui::ExportReportDialog*)>& work) {
    QTimer::singleShot(0, [work] {
        auto* d = qobject_cast<ui::ExportReportDialog*>(QApplication::activeModalWidget());
        QVERIFY(d);
        work(d);
        if (d->isVisible()) d->reject(); // a failed check must not leave the test waiting
    });
}

template <class T> T* in(QWidget* w, const char* name) { return w->findChild<T*>(QString::fromLatin1(name)); }

std::int64_t flagged(GuiHome& h) {
    std::int64_t n = 0;
    h.session->store().forEachUser([&](const UserRow& r) {
        n += r.flag;
        return true;
    });
    return n;
}

} // namespace

class ReportPrintTest : public QObject {
    Q_OBJECT

private slots:
    void spreadsheetOfEverythingToAFile();
    void commandListPrintedToAPdfFile();
    void printCurrentCommandToAPdfFile();
    void pickAndChooseToTheClipboard();
    void followViewPicksItsCommands();
};

void ReportPrintTest::spreadsheetOfEverythingToAFile() {
    GuiHome h(standardFile());
    const auto out = h.folder() / "all.csv";
    QString title, action, proposed;
    bool toFile = false, listShown = true;
    onDialog([&](ui::ExportReportDialog* d) {
        title = d->windowTitle();
        action = in<QPushButton>(d, "Command2")->text();
        toFile = in<QRadioButton>(d, "tofile")->isChecked() && in<QRadioButton>(d, "outputall")->isChecked();
        listShown = in<QListWidget>(d, "List1")->isVisible();
        proposed = in<QLineEdit>(d, "Text1")->text();
        in<QLineEdit>(d, "Text1")->setText(QString::fromStdString(out.string()));
        in<QPushButton>(d, "Command2")->click();
    });
    h.action("FileExcel")->trigger();
    QCOMPARE(title, QStringLiteral("Export (spreadsheet)"));
    QCOMPARE(action, QStringLiteral("Export"));
    QVERIFY(toFile);
    QVERIFY(!listShown);
    QCOMPARE(proposed.toStdString(), (h.home() / "global.csv").string());

    const auto csv = fileBytes(out);
    const auto rows = h.session->store().userCount();
    QCOMPARE(static_cast<std::int64_t>(std::count(csv.begin(), csv.end(), '\n')), rows);
    QVERIFY(csv.find("\"Global Commands\",\"Global Commands\",\"A\",\"advanced\",\"Sub Main\",\"Office\",\"beeps once\"\r\n") !=
            std::string::npos);
    QCOMPARE(flagged(h), 0);

    // The folder written to is proposed next time; the scope options propose their names.
    QString next, group, program;
    onDialog([&](ui::ExportReportDialog* d) {
        next = in<QLineEdit>(d, "Text1")->text();
        in<QRadioButton>(d, "outputapp")->click();
        program = in<QLineEdit>(d, "Text1")->text();
        in<QRadioButton>(d, "outputgroup")->click();
        group = in<QLineEdit>(d, "Text1")->text();
        in<QPushButton>(d, "cancel")->click();
    });
    h.action("filepseudo")->trigger();
    QCOMPARE(next.toStdString(), (h.folder() / "global.pseudo").string());
    QCOMPARE(program.toStdString(), (h.folder() / "Global Commands.pseudo").string());
    QCOMPARE(group.toStdString(), (h.folder() / "All groups.pseudo").string());
}

void ReportPrintTest::commandListPrintedToAPdfFile() {
    if (!ui::installedPrinters().isEmpty()) QSKIP("a printer is installed: printing would not make a PDF file");
    GuiHome h(standardFile());
    const auto pdf = h.folder() / "list.pdf";
    fs::path proposedPdf;
    h.form->hooks().choosePdfFile = [&](const fs::path& proposed) -> std::optional<fs::path> {
        proposedPdf = proposed;
        return pdf;
    };
    QString title, printer;
    bool toPrinter = false;
    onDialog([&](ui::ExportReportDialog* d) {
        title = d->windowTitle();
        toPrinter = in<QRadioButton>(d, "toprinter")->isChecked() && !in<QLineEdit>(d, "Text1")->isVisible();
        printer = in<QComboBox>(d, "Combo1")->currentText();
        in<QPushButton>(d, "Command2")->click();
    });
    h.action("Filereport")->trigger();
    QCOMPARE(title, QStringLiteral("Print COMMAND list"));
    QVERIFY(toPrinter);
    QCOMPARE(printer, QStringLiteral("PDF file"));
    QCOMPARE(proposedPdf, h.home() / "global.pdf");
    QVERIFY(fs::exists(pdf));
    QCOMPARE(flagged(h), 0);
    if (!havePdfToText()) QSKIP("pdftotext (poppler-utils) is not installed: the PDF is not read back");
    const QStringList lines = pdfText(pdf).split(QLatin1Char('\n'));
    const auto at = [&](const QString& text) {
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (lines[i].trimmed() == text) return i;
        return qsizetype(-1);
    };
    // A header per program and scope, each followed by its commands in name order.
    const auto global = at(QStringLiteral("Global Commands Global Commands"));
    const auto notepad = at(QStringLiteral("NOTEPAD Application-specific"));
    const auto winword = at(QStringLiteral("WINWORD Application-specific"));
    const auto window = at(QStringLiteral("WINWORD Document1 - Word"));
    QVERIFY2(global >= 0 && notepad > global && winword > notepad && window > winword, qPrintable(lines.join('\n')));
    QVERIFY(at(QStringLiteral("advanced")) > global && at(QStringLiteral("advanced")) < notepad);
    QVERIFY(at(QStringLiteral("save file")) > notepad && at(QStringLiteral("save file")) < winword);
    QVERIFY(at(QStringLiteral("close doc")) > window);
}

void ReportPrintTest::printCurrentCommandToAPdfFile() {
    if (!ui::installedPrinters().isEmpty()) QSKIP("a printer is installed: printing would not make a PDF file");
    GuiHome h(standardFile());
    const auto pdf = h.folder() / "command.pdf";
    fs::path proposedPdf;
    h.form->hooks().choosePdfFile = [&](const fs::path& proposed) -> std::optional<fs::path> {
        proposedPdf = proposed;
        return pdf;
    };
    h.select(1, QStringLiteral("advanced"));
    QVERIFY(h.action("popupprint")->isEnabled());
    h.action("popupprint")->trigger();
    QVERIFY(fs::exists(pdf));
    QCOMPARE(proposedPdf, h.home() / "advanced.pdf");
    // "P&rint Macro" does the same; a cancelled file choice prints nothing.
    fs::remove(pdf);
    h.form->hooks().choosePdfFile = [](const fs::path&) { return std::optional<fs::path>(); };
    h.action("popupprint2")->trigger();
    QVERIFY(!fs::exists(pdf));
    h.form->hooks().choosePdfFile = [&](const fs::path&) { return std::optional<fs::path>(pdf); };
    h.action("popupprint2")->trigger();
    QVERIFY(fs::exists(pdf));
    if (!havePdfToText()) QSKIP("pdftotext (poppler-utils) is not installed: the PDF is not read back");
    QStringList lines = pdfText(pdf).split(QLatin1Char('\n'));
    for (auto& l : lines) l = l.trimmed();
    while (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
    const QStringList expected{QStringLiteral("Program: Global Commands"), QStringLiteral("Scope: Global Commands"),
                               QStringLiteral("CommandName: advanced"), QString(), QStringLiteral("Sub Main"),
                               QStringLiteral("Beep"), QStringLiteral("End Sub")};
    QCOMPARE(lines.mid(0, expected.size()), expected);
}

void ReportPrintTest::pickAndChooseToTheClipboard() {
    GuiHome h(standardFile());
    QApplication::clipboard()->clear();
    const auto messagesBefore = h.prompter.messageCount();
    bool stayedOpen = false;
    QString proposed;
    QStringList pickList;
    onDialog([&](ui::ExportReportDialog* d) {
        in<QRadioButton>(d, "outputselect")->click();
        QVERIFY(in<QListWidget>(d, "List1")->isVisible());
        proposed = in<QLineEdit>(d, "Text1")->text();
        in<QRadioButton>(d, "ToClipboard")->click();
        QVERIFY(!in<QLineEdit>(d, "Text1")->isEnabled());
        QVERIFY(!in<QPushButton>(d, "specify")->isEnabled());
        in<QPushButton>(d, "Command2")->click(); // nothing picked
        stayedOpen = d->isVisible();
        auto* list = in<QListWidget>(d, "List1");
        for (int i = 0; i < list->count(); ++i) pickList << list->item(i)->text();
        for (const char* name : {"advanced", "say hello"})
            list->findItems(QString::fromLatin1(name), Qt::MatchExactly).front()->setSelected(true);
        in<QPushButton>(d, "Command2")->click();
    });
    h.action("Filereport")->trigger();
    QVERIFY(stayedOpen);
    QVERIFY(h.prompter.messageCount() > messagesBefore);
    QCOMPARE(h.prompter.shown[messagesBefore].text, std::string(ops::texts::NothingSelectedToExport));
    QCOMPARE(h.prompter.shown[messagesBefore].title, std::string("Global Commands"));
    QCOMPARE(proposed.toStdString(), (h.home() / "selected.txt").string());
    QCOMPARE(pickList, h.items(1));
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("\nGlobal Commands Global Commands\n\nadvanced\nsay hello"));
    QCOMPARE(flagged(h), 0);

    // Nothing of the scope passes the View filter: told, and the dialog waits.
    h.action("viewonly1recorder")->trigger();
    h.choose("appcommand", QStringLiteral("NOTEPAD"));
    bool open = false;
    onDialog([&](ui::ExportReportDialog* d) {
        in<QRadioButton>(d, "outputstate")->click();
        in<QPushButton>(d, "Command2")->click();
        open = d->isVisible();
    });
    h.action("FileExcel")->trigger();
    QVERIFY(open);
    QCOMPARE(h.prompter.last().text, std::string(ops::texts::NoMacros));
    QCOMPARE(h.prompter.last().title, std::string(ops::texts::NoMacrosTitle));
    QCOMPARE(flagged(h), 0);
}

void ReportPrintTest::followViewPicksItsCommands() {
    GuiHome h(standardFile());
    h.select(1, QStringLiteral("open <app>"));
    h.action("viewfollowcommand")->trigger();
    QVERIFY(h.action("viewfollowcommand")->isChecked());
    QString caption, proposed;
    int selected = -1, count = -1;
    bool pick = false;
    onDialog([&](ui::ExportReportDialog* d) {
        pick = in<QRadioButton>(d, "outputselect")->isChecked() && in<QListWidget>(d, "List1")->isVisible();
        caption = in<QRadioButton>(d, "outputselect")->text();
        proposed = in<QLineEdit>(d, "Text1")->text();
        auto* list = in<QListWidget>(d, "List1");
        count = list->count();
        selected = static_cast<int>(list->selectedItems().size());
        in<QPushButton>(d, "cancel")->click();
    });
    h.action("Filereport")->trigger();
    QVERIFY(pick);
    QCOMPARE(caption, QStringLiteral("See below"));
    QCOMPARE(proposed.toStdString(), (h.home() / "open [app].txt").string());
    QVERIFY(count > 0);
    QCOMPARE(selected, count);
}

QTEST_MAIN(ReportPrintTest)
#include "ReportPrintTest.moc"
