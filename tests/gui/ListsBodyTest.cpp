// The four lists, the shown entry with its body of every kind, the formatted part of a Text &
// Graphics command, the edit triggers and the split slider.

#include "GuiHome.h"

#include "ui/Texts.h"

#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextFragment>
#include <QTextImageFormat>

using namespace vocabrella;
using namespace vocabrella::testsupport;

class ListsBodyTest : public QObject {
    Q_OBJECT

private slots:
    void bodiesOfEveryKind();
    void backslashesOfKeysDependOnTheFile();
    void showGraphicLoadsTheFormattedPart();
    void otherPictureKindsShowAPlaceholder();
    void recentlyCreatedIsNewestFirstAndLimited();
    void recentlyModifiedAndVanishedEntries();
    void editTriggersBeginAnEdit();
    void listsTakeNoDescriptionOrGroup();
    void sliderSplitsListsAndBody();

private:
    static bool enabled(GuiHome& h, const char* name) { return h.child<QPushButton>(name)->isEnabled(); }
};

void ListsBodyTest::bodiesOfEveryKind() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    struct Expected {
        const char* name;
        QString type, body;
        bool editable;
    };
    const Expected expected[] = {
        {"open <app>", "KEYS", "{Ctrl+o}", true},
        {"say hello", "Plain Text", "hello\nworld", true},
        {"replay", "Macro Recorder", "Mouse move (120,45)\nA key down", false},
        {"steps", "Step by Step", "wait 1500 milliseconds\nPress Shift + Ctrl + A", false},
        {"script it", "SCRIPT", "SendKeys \"x\"", true},
        {"advanced", "Advanced Script", "Sub Main\n\tBeep\nEnd Sub", true},
        {"secret", "Advanced Script", "This command has been encrypted, and cannot be edited", false},
    };
    for (const auto& e : expected) {
        h.select(1, e.name);
        QCOMPARE(h.text("Text5"), e.type);
        QCOMPARE(h.body(), e.body);
        QCOMPARE(enabled(h, "modify"), e.editable);
        QCOMPARE(h.action("commandEdit")->isEnabled(), e.editable);
        QVERIFY(!h.child<QPushButton>("showgraphic")->isVisibleTo(h.form.get()));
        QCOMPARE(h.text("Text2"), QStringLiteral("Global Commands"));
    }
    h.select(1, "advanced");
    QCOMPARE(h.text("description"), QStringLiteral("beeps once"));
    QCOMPARE(h.text("ActiveStates"), QStringLiteral("Dictation,Spelling"));
    QCOMPARE(h.text("Text6"), QStringLiteral("Office"));
    h.select(1, "say hello");
    QCOMPARE(h.text("ActiveStates"), QString());
    QCOMPARE(h.text("Text6"), QStringLiteral("User-defined"));

    // The KEYS conversions the display allows (their entries come with editing).
    h.select(1, "open <app>");
    QVERIFY(h.form->bodyDisplay().allowed.toAdvancedScript);
    QVERIFY(!h.form->bodyDisplay().allowed.toPlainText);
    h.select(1, "path keys");
    QVERIFY(h.form->bodyDisplay().allowed.toPlainText);

    h.select(1, "letterhead");
    QCOMPARE(h.text("Text5"), QStringLiteral("Text & Graphics"));
    const auto graphicSize = file.commands()[2].formatted.bytes.size();
    QCOMPARE(h.body(), QStringLiteral("<<< %1 byte graphic not shown >>> \nDear Sir").arg(graphicSize));
    QVERIFY(h.child<QPushButton>("showgraphic")->isVisibleTo(h.form.get()));
    QVERIFY(!enabled(h, "modify"));

    h.form->showTab(1);
    h.select(2, "color");
    QCOMPARE(h.text("Text5"), QStringLiteral("LIST"));
    QCOMPARE(h.child<QLineEdit>("Text5")->palette().color(QPalette::Base), QColor(255, 0, 0));
    QCOMPARE(h.body(), QStringLiteral("red\nblue\n"));
    h.form->showTab(0);
    QVERIFY(h.child<QLineEdit>("Text5")->palette().color(QPalette::Base) != QColor(255, 0, 0));
}

void ListsBodyTest::backslashesOfKeysDependOnTheFile() {
    CommandFileBuilder b;
    b.add(command("path keys", kKindKeys, "c:\\\\temp"));
    b.add(BuiltList("dirs", {"a\\\\b"}));
    GuiHome other;
    other.open(b, "exported.dat");
    QCOMPARE(other.body(), QStringLiteral("c:\\temp"));
    GuiHome own;
    own.open(b, "mycmds.dat");
    QCOMPARE(own.body(), QStringLiteral("c:\\\\temp"));
    own.form->showTab(1);
    QCOMPARE(own.body(), QStringLiteral("a\\b\n")); // LIST items always
}

void ListsBodyTest::showGraphicLoadsTheFormattedPart() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.select(1, "letterhead");
    h.child<QPushButton>("showgraphic")->click();
    auto* rich = h.child<QTextEdit>("RichTextBox1");
    QVERIFY(rich->isVisibleTo(h.form.get()));
    QVERIFY(!h.child<QPlainTextEdit>("Text1")->isVisibleTo(h.form.get()));
    QVERIFY(!h.child<QPushButton>("showgraphic")->isVisibleTo(h.form.get()));
    QCOMPARE(h.child<QLabel>("Label7")->text(), QString());
    QVERIFY(rich->toPlainText().startsWith(QStringLiteral("Dear Sir")));
    int images = 0;
    bool bold = false;
    for (auto block = rich->document()->begin(); block != rich->document()->end(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const auto fragment = it.fragment();
            if (fragment.charFormat().isImageFormat()) {
                const auto image = fragment.charFormat().toImageFormat();
                QVERIFY(!rich->document()->resource(QTextDocument::ImageResource, QUrl(image.name())).isNull());
                QCOMPARE(qRound(image.width()), qRound(600 * h.form->logicalDpiX() / 1440.0));
                ++images;
            }
            if (fragment.text() == QStringLiteral("Sir")) bold = fragment.charFormat().fontWeight() == QFont::Bold;
        }
    QCOMPARE(images, 1);
    QVERIFY(bold);
    // Choosing another entry returns to the body box.
    h.select(1, "say hello");
    QVERIFY(!rich->isVisibleTo(h.form.get()));
    QCOMPARE(h.body(), QStringLiteral("hello\nworld"));
}

void ListsBodyTest::otherPictureKindsShowAPlaceholder() {
    CommandFileBuilder b;
    auto memo = command("memo", kKindText, "plain part");
    memo.formatted = rtfWithPicture("{\\pict\\wmetafile8\\picwgoal100\\pichgoal100 0100090000}");
    b.add(memo);
    auto broken = command("broken png", kKindText, "x");
    broken.formatted = rtfWithPicture("{\\pict\\pngblip 00112233}");
    b.add(broken);
    GuiHome h;
    h.open(b);
    h.select(1, "memo");
    h.child<QPushButton>("showgraphic")->click();
    QVERIFY(h.child<QTextEdit>("RichTextBox1")->toPlainText().contains(QStringLiteral("[wmetafile picture not shown]")));
    h.select(1, "broken png");
    h.child<QPushButton>("showgraphic")->click();
    QVERIFY(h.child<QTextEdit>("RichTextBox1")->toPlainText().contains(QStringLiteral("[pngblip picture not shown]")));
}

void ListsBodyTest::recentlyCreatedIsNewestFirstAndLimited() {
    CommandFileBuilder b;
    for (int i = 0; i < 80; ++i) b.add(command("command " + std::to_string(i), kKindKeys, "k"));
    b.add(inProgram(command(std::string(60, 'n'), kKindKeys, "k"), "notepad"));
    b.add(BuiltList("late", {"x"}));
    GuiHome h;
    h.open(b);
    h.form->showTab(2);
    const auto lines = h.items(3);
    QCOMPARE(lines.size(), qsizetype(75));
    // A long name is cut so that the program stands in column 50.
    QCOMPARE(lines[0], QString(49, QLatin1Char('n')) + QStringLiteral("NOTEPAD"));
    QCOMPARE(lines[1], QStringLiteral("command 79").leftJustified(49) + QStringLiteral("Global Commands"));
    QCOMPARE(lines[74], QStringLiteral("command 6").leftJustified(49) + QStringLiteral("Global Commands"));
    QCOMPARE(h.text("Text2"), QStringLiteral("NOTEPAD"));
    h.select(3, lines[1]);
    QCOMPARE(h.text("Text2"), QStringLiteral("Global Commands"));
    QCOMPARE(qs(h.form->selection().command), QStringLiteral("command 79"));
}

void ListsBodyTest::recentlyModifiedAndVanishedEntries() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.form->showTab(3);
    QCOMPARE(h.items(4), QStringList{"Nothing to show"});

    h.settings->MRUUpdate(Settings::mruEntry("NOTEPAD", "Application-specific", "save file", false), false);
    h.settings->MRUUpdate(Settings::mruEntry("NOTEPAD", "Application-specific", "gone", false), false);
    h.settings->MRUUpdate("no tabs here", false);
    h.form->showTab(0);
    emit h.menu("ViewMenu")->aboutToShow(); // opening the View menu refreshes the recent lists
    h.form->showTab(3);
    QCOMPARE(h.items(4), (QStringList{QStringLiteral("gone").leftJustified(49) + "NOTEPAD",
                                      QStringLiteral("save file").leftJustified(49) + "NOTEPAD"}));
    QCOMPARE(h.body(), QStringLiteral("This command is no longer available.\n\nIt has likely been renamed or deleted."));
    QCOMPARE(h.text("Text6"), QStringLiteral("User-defined"));
    QCOMPARE(h.text("description"), QString());
    QVERIFY(!enabled(h, "modify"));
    QVERIFY(!h.menu("commandmenu")->menuAction()->isEnabled());
    QVERIFY(!h.action("commandEdit")->isEnabled());
    // Typing into the boxes of a vanished entry is no edit.
    QTest::keyClicks(h.child<QLineEdit>("description"), "x");
    QVERIFY(!enabled(h, "savechanges"));

    h.select(4, QStringLiteral("save file").leftJustified(49) + "NOTEPAD");
    QCOMPARE(h.body(), QStringLiteral("{Ctrl+s}"));
    QCOMPARE(h.text("Text3"), QStringLiteral("Application-specific"));
    QVERIFY(h.menu("commandmenu")->menuAction()->isEnabled());
}

void ListsBodyTest::editTriggersBeginAnEdit() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.select(1, "advanced");
    auto* description = h.child<QLineEdit>("description");

    // Emptying the box is no edit.
    description->selectAll();
    QTest::keyClick(description, Qt::Key_Backspace);
    QVERIFY(!enabled(h, "savechanges"));

    QTest::keyClicks(description, "new");
    QVERIFY(enabled(h, "savechanges"));
    QVERIFY(enabled(h, "abandon"));
    QVERIFY(!enabled(h, "modify"));
    QVERIFY(!h.list(1)->isEnabled());
    for (const char* m : {"filemenu", "editmenu", "ViewMenu", "appcommand", "statecommand", "commandmenu",
                          "groupcommand", "toolsmenu"})
        QVERIFY2(!h.menu(m)->menuAction()->isEnabled(), m);
    QVERIFY(h.menu("helpmenu")->menuAction()->isEnabled());

    // Abandon shows the command as stored and ends the edit, leaving the spoken number lists alone.
    h.listener.calls.clear();
    h.child<QPushButton>("abandon")->click();
    QVERIFY(h.listener.calls.empty());
    QCOMPARE(h.text("description"), QStringLiteral("beeps once"));
    QVERIFY(!enabled(h, "savechanges"));
    QVERIFY(h.list(1)->isEnabled());
    QVERIFY(h.menu("appcommand")->menuAction()->isEnabled());

    // A changed group is an edit too; the same group is not.
    auto* group = h.child<QLineEdit>("Text6");
    QTest::keyClick(group, Qt::Key_End);
    QTest::keyClick(group, Qt::Key_X);
    QVERIFY(enabled(h, "savechanges"));
    h.child<QPushButton>("abandon")->click();

    // A click into the body of an editable command starts modifying it; of a locked one, not.
    auto* body = h.child<QPlainTextEdit>("Text1");
    QVERIFY(body->isReadOnly());
    QTest::mouseClick(body->viewport(), Qt::LeftButton);
    QVERIFY(!body->isReadOnly());
    QVERIFY(enabled(h, "savechanges"));
    h.child<QPushButton>("abandon")->click();
    h.select(1, "letterhead");
    QTest::mouseClick(body->viewport(), Qt::LeftButton);
    QVERIFY(body->isReadOnly());
    QVERIFY(!enabled(h, "savechanges"));
}

void ListsBodyTest::listsTakeNoDescriptionOrGroup() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.form->showTab(1);
    h.select(2, "app");
    QCOMPARE(h.text("Text6"), QStringLiteral("Dragon"));
    QTest::keyClicks(h.child<QLineEdit>("Text6"), "x");
    QCOMPARE(h.text("Text6"), QStringLiteral("Dragon"));
    QTest::keyClicks(h.child<QLineEdit>("description"), "y");
    QCOMPARE(h.text("description"), QString());
    QVERIFY(!enabled(h, "savechanges"));
}

void ListsBodyTest::sliderSplitsListsAndBody() {
    GuiHome h;
    auto file = standardFile();
    h.open(file);
    h.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.form.get()));
    auto* slider = h.child<QSlider>("Slider1");
    QCOMPARE(slider->value(), 5);
    auto* tabs = h.child<QTabWidget>("SSTab1");
    auto* body = h.child<QPlainTextEdit>("Text1");
    const int half = tabs->height();
    slider->setValue(10);
    QCOMPARE(body->height(), 0);
    QVERIFY(tabs->height() > half);
    slider->setValue(0);
    QCOMPARE(tabs->height(), static_cast<int>(350 * h.form->logicalDpiY() / 1440.0));
    QVERIFY(body->height() > half);
    QCOMPARE(qs(h.settings->GetIniSetting(setting::Slider)), QStringLiteral("0"));

    // Modifying with the body box shut opens it.
    slider->setValue(10);
    h.select(1, "say hello");
    h.child<QPushButton>("modify")->click();
    QCOMPARE(slider->value(), 8);
    QVERIFY(body->height() > 0);
}

QTEST_MAIN(ListsBodyTest)
#include "ListsBodyTest.moc"
