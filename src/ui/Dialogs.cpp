#include "ui/Dialogs.h"

#include "shell/Settings.h"
#include "ui/Texts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

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
    browser_->setSearchPaths({QString::fromStdString(folder_.string())});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    resize(640, 520);
}

std::filesystem::path HelpWindow::pageOf(std::optional<int> contextId) const {
    if (!contextId) return folder_ / "index.html";
    switch (*contextId) {
    case kHelpOptions: return folder_ / "options.html";
    case kHelpRoaming: return folder_ / "roaming.html";
    case kHelpCommands: return folder_ / "commands.html";
    default: return folder_ / (std::to_string(*contextId) + ".html");
    }
}

void HelpWindow::Show(std::optional<int> contextId) {
    const auto page = pageOf(contextId);
    if (std::filesystem::exists(page)) browser_->setSource(QUrl::fromLocalFile(QString::fromStdString(page.string())));
    else browser_->setPlainText(qs(texts::HelpPageMissing) + QString::fromStdString(page.string()));
    show();
    raise();
    activateWindow();
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

} // namespace vocabrella::ui
