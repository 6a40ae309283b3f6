// The help pages: every context opens a page that is installed in the home folder, every link
// between pages leads to one, and the window's ways into the help reach the right page.

#include "GuiHome.h"

#include "cmdfile/System.h"
#include "shell/HomeFolder.h"
#include "ui/Dialogs.h"
#include "ui/HelpContexts.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTimer>

#include <fstream>
#include <iterator>
#include <set>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

std::string fileText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

class HelpTest : public QObject {
    Q_OBJECT

private slots:
    void everyContextOpensAnInstalledPage();
    void pagesLinkOnlyToPagesThatExist();
    void theWindowOpensTheRightPages();
    void anExistingHomeFolderGetsThePages();
    void captionsReadAsTheyShow();
};

void HelpTest::everyContextOpensAnInstalledPage() {
    GuiHome h;
    auto* help = h.form->findChild<ui::HelpWindow*>(QStringLiteral("MyWindow"));
    QVERIFY(help);
    auto* browser = help->findChild<QTextBrowser*>(QStringLiteral("helpbrowser"));
    std::set<int> contexts;
    std::set<std::string_view> pages;
    for (const auto& topic : ui::kHelpTopics) {
        QVERIFY2(contexts.insert(topic.context).second, "a context names one page");
        QVERIFY2(pages.insert(topic.page).second, "a page has one context");
        help->Show(topic.context);
        const auto page = h.home() / "help" / std::string(topic.page);
        QCOMPARE(help->shownPage(), page);
        QVERIFY2(fs::exists(page), topic.page.data());
        const fs::path shown = os::pathFrom(browser->source().toLocalFile().toStdString());
        QVERIFY2(shown == page, shown.string().c_str()); // as paths: Qt writes '/' on Windows too
        QVERIFY2(!browser->toPlainText().contains(QStringLiteral("This help page is not installed")), topic.page.data());
        QVERIFY(!browser->documentTitle().isEmpty());
    }
    // No page is shipped that no context reaches.
    for (const auto& entry : fs::directory_iterator(fs::path(VOCABRELLA_DATA_DIR) / "help"))
        QVERIFY2(pages.count(entry.path().filename().string()), entry.path().filename().string().c_str());
    // The default page is the contents; a number without a page says so.
    help->Show();
    QCOMPARE(help->shownPage().filename().string(), std::string("index.html"));
    help->Show(424242);
    QVERIFY(browser->toPlainText().startsWith(QStringLiteral("This help page is not installed: ")));
}

void HelpTest::pagesLinkOnlyToPagesThatExist() {
    const QRegularExpression href(QStringLiteral("href=\"([^\"#]+)"));
    const auto folder = fs::path(VOCABRELLA_DATA_DIR) / "help";
    std::set<std::string> linked;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const auto text = QString::fromStdString(fileText(entry.path()));
        for (auto m = href.globalMatch(text); m.hasNext();) {
            const auto target = m.next().captured(1).toStdString();
            QVERIFY2(fs::exists(folder / target), (entry.path().filename().string() + " -> " + target).c_str());
            linked.insert(target);
        }
    }
    // The contents reach every page.
    for (const auto& topic : ui::kHelpTopics)
        if (topic.page != "index.html") QVERIFY2(linked.count(std::string(topic.page)), topic.page.data());
}

void HelpTest::theWindowOpensTheRightPages() {
    GuiHome h;
    h.form->show();
    QVERIFY(QTest::qWaitForWindowActive(h.form.get()));
    auto* help = h.form->findChild<ui::HelpWindow*>(QStringLiteral("MyWindow"));
    h.action("helpcommand")->trigger();
    QCOMPARE(help->shownPage().filename().string(), std::string("commands.html"));

    QTest::keyClick(h.list(1), Qt::Key_F1);
    QCOMPARE(help->shownPage().filename().string(), std::string("main-window.html"));
    help->hide();

    // Options: "click Help below" leads to where the fonts are set.
    QTimer::singleShot(0, [] {
        auto* options = QApplication::activeModalWidget();
        QVERIFY(options);
        options->findChild<QPushButton*>(QStringLiteral("help"))->click();
        options->findChild<QPushButton*>(QStringLiteral("exit"))->click();
    });
    h.action("editoptions")->trigger();
    QCOMPARE(help->shownPage().filename().string(), std::string("options.html"));
    const auto text = help->findChild<QTextBrowser*>(QStringLiteral("helpbrowser"))->toPlainText();
    QVERIFY(text.contains(QStringLiteral("fontsize")));
    QVERIFY(text.contains(QStringLiteral("Vocabrella.INI")));

    // F1 in the Export/Report dialog.
    help->hide();
    std::string seen;
    QTimer::singleShot(0, [&seen, help] {
        auto* dialog = QApplication::activeModalWidget();
        if (!dialog) return;
        // With no window of the program in front, the offscreen platform activates none.
        QApplication::setActiveWindow(dialog);
        if (QTest::qWaitForWindowActive(dialog)) QTest::keyClick(dialog, Qt::Key_F1);
        seen = help->shownPage().filename().string();
        QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
    });
    h.action("FileExcel")->trigger();
    QCOMPARE(seen, std::string("export-report.html"));
}

void HelpTest::anExistingHomeFolderGetsThePages() {
    GuiHome h;
    const auto help = h.home() / "help";
    fs::remove(help / "options.html");
    { std::ofstream(help / "index.html") << "old"; }
    { std::ofstream(help / "notes.html") << "mine"; }
    h.start(); // the program again, over the same home folder
    QVERIFY(fs::exists(help / "options.html"));
    QCOMPARE(fileText(help / "index.html"), fileText(fs::path(VOCABRELLA_DATA_DIR) / "help" / "index.html"));
    QCOMPARE(fileText(help / "notes.html"), std::string("mine"));
}

void HelpTest::captionsReadAsTheyShow() {
    // A caption's access key is underlined on screen; on a page its "&" would read as text.
    const QRegularExpression marked(QStringLiteral("&amp;[A-Za-z0-9]"));
    bool anyCaption = false;
    for (const auto& entry : fs::directory_iterator(fs::path(VOCABRELLA_DATA_DIR) / "help")) {
        const auto text = QString::fromStdString(fileText(entry.path()));
        const auto m = marked.match(text);
        QVERIFY2(!m.hasMatch(), qPrintable(QString::fromStdString(entry.path().filename().string()) + ": " +
                                           text.mid(std::max<qsizetype>(0, m.capturedStart() - 20), 40)));
        anyCaption = anyCaption || text.contains(QStringLiteral("Save Changes"));
    }
    QVERIFY(anyCaption);
}

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"
