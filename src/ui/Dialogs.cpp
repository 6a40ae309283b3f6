#include "ui/Dialogs.h"

#include "shell/ApplicationTexts.h"
#include "shell/Settings.h"
#include "ui/Texts.h"
#include "cmdfile/System.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace vocabrella::ui {
namespace {

QString qs(std::string_view s) {
    QString q = QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return q;
}

} // namespace

HelpWindow::HelpWindow(std::filesystem::path helpFolder, QWidget* parent)
    : QDialog(parent), folder_(std::move(helpFolder)), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("MyWindow"));
    setWindowTitle(qs(texts::HelpWindowTitle));
    browser_->setObjectName(QStringLiteral("helpbrowser"));
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({QString::fromStdString(os::pathText(folder_))});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    resize(640, 520);
}

std::filesystem::path HelpWindow::pageOf(std::optional<int> contextId) const {
    const auto page = helpPage(contextId.value_or(kHelpContents));
    // A context without a page shows as a missing page named by its number.
    return folder_ / (page ? std::string(*page) : std::to_string(*contextId) + ".html");
}

void HelpWindow::Show(std::optional<int> contextId) {
    const auto page = pageOf(contextId);
    shown_ = page;
    if (std::filesystem::exists(page)) browser_->setSource(QUrl::fromLocalFile(QString::fromStdString(os::pathText(page))));
    else browser_->setPlainText(qs(texts::HelpPageMissing) + QString::fromStdString(os::pathText(page)));
    show();
    raise();
    activateWindow();
}

void installHelpKey(QWidget* widget, HelpWindow& help, int context) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), widget);
    key->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(key, &QShortcut::activated, &help, [&help, context] { help.Show(context); });
}

OptionsDialog::OptionsDialog(Settings& settings, HelpWindow& help, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Options"));
    setWindowTitle(qs(texts::OptionsCaption));
    auto* numberMenus = new QCheckBox(qs(texts::NumberMenusCaption), this);
    numberMenus->setObjectName(QStringLiteral("NumberMenus"));
    numberMenus->setChecked(settings.options().numberMenus);
    auto* note = new QLabel(qs(texts::OptionsNote), this);
    note->setObjectName(QStringLiteral("Label1"));
    auto* helpButton = new QPushButton(qs(texts::OptionsHelp), this);
    helpButton->setObjectName(QStringLiteral("help"));
    auto* exitButton = new QPushButton(qs(texts::OptionsExit), this);
    exitButton->setObjectName(QStringLiteral("exit"));

    connect(numberMenus, &QCheckBox::clicked, this, [&settings](bool checked) { settings.setNumberMenus(checked); });
    connect(helpButton, &QPushButton::clicked, this, [&help] { help.Show(kHelpOptions); });
    installHelpKey(this, help, kHelpOptions);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(helpButton);
    buttons->addWidget(exitButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(numberMenus);
    layout->addWidget(note);
    layout->addLayout(buttons);
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(qs(texts::AboutCaption));
    auto* text = new QLabel(qs(texts::AboutText), this);
    text->setObjectName(QStringLiteral("Label1"));
    auto* version = new QLabel(qs(texts::AboutVersion) + QStringLiteral(VOCABRELLA_VERSION), this);
    version->setObjectName(QStringLiteral("Label2"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(version);
}

AutoImportDialog::AutoImportDialog(QWidget* parent) : QDialog(parent), check_(new QCheckBox(qs(texts::DontShowAgain), this)) {
    setObjectName(QStringLiteral("autoimport"));
    setWindowTitle(qs(texts::AutoImportCaption));
    auto* label = new QLabel(qs(texts::AutoImportText), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setWordWrap(true);
    auto* import = new QPushButton(qs(texts::AutoImportImport), this);
    import->setObjectName(QStringLiteral("Import"));
    import->setDefault(true);
    auto* skip = new QPushButton(qs(texts::AutoImportSkip), this);
    skip->setObjectName(QStringLiteral("cancel"));
    check_->setObjectName(QStringLiteral("Check1"));
    connect(import, &QPushButton::clicked, this, &QDialog::accept);
    connect(skip, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(import);
    buttons->addWidget(skip);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(buttons);
    layout->addWidget(check_);
    import->setFocus();
    resize(520, 220);
}

bool AutoImportDialog::dontShowAgain() const { return check_->isChecked(); }

RoamWarnDialog::RoamWarnDialog(HelpWindow& help, QWidget* parent)
    : QDialog(parent), check_(new QCheckBox(qs(texts::RoamWarnNeverAgain), this)) {
    setObjectName(QStringLiteral("roamwarn"));
    setWindowTitle(qs(vocabrella::texts::RoamingNoticeCaption));
    auto* label = new QLabel(qs(vocabrella::texts::RoamingNotice).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setWordWrap(true);
    auto* proceed = new QPushButton(qs(texts::RoamWarnProceed), this);
    proceed->setObjectName(QStringLiteral("proceed"));
    proceed->setDefault(true);
    auto* helpButton = new QPushButton(qs(texts::RoamWarnHelp), this);
    helpButton->setObjectName(QStringLiteral("help"));
    check_->setObjectName(QStringLiteral("Check1"));
    connect(proceed, &QPushButton::clicked, this, &QDialog::accept);
    connect(helpButton, &QPushButton::clicked, this, [&help] { help.Show(kHelpRoaming); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(proceed);
    buttons->addWidget(helpButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(check_);
    layout->addLayout(buttons);
    proceed->setFocus();
    resize(560, 320);
}

bool RoamWarnDialog::neverAgain() const { return check_->isChecked(); }

NewCommandForm::NewCommandForm(const std::string& program, const std::string& scope, Lists lists, QWidget* parent)
    : QDialog(parent), lists_(std::move(lists)) {
    setObjectName(QStringLiteral("NewCommandForm"));
    setWindowTitle(qs(texts::NewCommandCaption));
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("Text1"));
    auto* label = new QLabel(qs(texts::NewCommandLabel) + QLatin1Char('\n') + QString::fromStdString(program) +
                                 QLatin1Char('\n') + QString::fromStdString(scope),
                             this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setBuddy(name_);
    note_ = new QLabel(qs(texts::NewCommandListNote), this);
    note_->setObjectName(QStringLiteral("Label4"));
    const auto button = [this](const char* name, std::string_view caption) {
        auto* b = new QPushButton(qs(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    auto* show = button("ShowLists", texts::ShowLists);
    insert_ = button("insertlist", texts::InsertList);
    auto* ok = button("ok", texts::Ok);
    auto* cancel = button("cancel", texts::Cancel);
    ok->setDefault(true); // Enter in the name box acts as OK

    listArea_ = new QWidget(this);
    list_ = new QListWidget(listArea_);
    list_->setObjectName(QStringLiteral("List1"));
    contents_ = new QPlainTextEdit(listArea_);
    contents_->setObjectName(QStringLiteral("Contents"));
    contents_->setReadOnly(true);
    auto* listsLabel = new QLabel(qs(texts::AvailableLists), listArea_);
    listsLabel->setBuddy(list_);
    auto* contentsLabel = new QLabel(qs(texts::ListContents), listArea_);
    contentsLabel->setBuddy(contents_);
    auto* area = new QGridLayout(listArea_);
    area->setContentsMargins(0, 0, 0, 0);
    area->addWidget(listsLabel, 0, 0);
    area->addWidget(contentsLabel, 0, 1);
    area->addWidget(list_, 1, 0);
    area->addWidget(contents_, 1, 1);
    area->addWidget(insert_, 2, 0);
    listArea_->hide();
    insert_->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(show);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(name_);
    layout->addWidget(note_);
    layout->addWidget(listArea_, 1);
    layout->addLayout(buttons);

    connect(show, &QPushButton::clicked, this, &NewCommandForm::showLists);
    connect(insert_, &QPushButton::clicked, this, &NewCommandForm::insertList);
    connect(list_, &QListWidget::itemDoubleClicked, this, &NewCommandForm::insertList);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0 || !lists_.items) return;
        contents_->setPlainText(qs(lists_.items(list_->item(row)->text().toStdString())));
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        result_ = name_->text().toStdString();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        result_.clear();
        reject();
    });
    resize(std::max(sizeHint().width(), 480), std::max(twips(kNameHeight), minimumSizeHint().height()));
}

int NewCommandForm::twips(int value) const { return static_cast<int>(value * logicalDpiY() / 1440.0); }

void NewCommandForm::showLists() {
    insert_->show();
    note_->hide();
    listArea_->show();
    resize(width(), std::max(twips(kListsHeight), minimumSizeHint().height()));
    list_->clear();
    for (const auto& n : lists_.names) list_->addItem(QString::fromStdString(n));
    if (list_->count() > 0) list_->setCurrentRow(0);
    list_->setFocus();
}

void NewCommandForm::insertList() {
    auto* item = list_->currentItem();
    if (!item) return;
    QString text = name_->text().trimmed() + QStringLiteral(" <") + item->text() + QStringLiteral("> ");
    while (text.startsWith(QLatin1Char(' '))) text.remove(0, 1);
    name_->setText(text);
    name_->setFocus();
    name_->end(false);
}

} // namespace vocabrella::ui
