#include "ui/ToolsDialogs.h"

#include "cmdfile/Prompter.h"
#include "cmdfile/Reader.h"
#include "ops/ConvertFile.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "ui/Texts.h"
#include "ops/ExportQuestions.h"
#include "cmdfile/System.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vocabrella::ui {
namespace {

QString qs(std::string_view s) {
    QString q = QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return q;
}

QLabel* label(QWidget* parent, const char* name, std::string_view text) {
    auto* l = new QLabel(qs(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QPushButton* button(QWidget* parent, const char* name, std::string_view caption) {
    auto* b = new QPushButton(qs(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

OverDialog::OverDialog(const std::string& target, const std::string& command, const std::string& source,
                       QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("over"));
    setWindowTitle(qs(ops::texts::OverwriteTitle));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label(this, "Label1", ops::texts::OverwriteExistsIn));
    layout->addWidget(label(this, "Label2", target));
    auto* name = label(this, "Label3", command);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    layout->addWidget(name);
    layout->addWidget(label(this, "Label4", ops::texts::OverwriteWithCommandFrom));
    layout->addWidget(label(this, "Label5", source));
    auto* buttons = new QHBoxLayout;
    const std::pair<const char*, std::string_view> captions[] = {{"yes", ops::texts::OverwriteYes},
                                                                 {"no", ops::texts::OverwriteNo},
                                                                 {"yestoall", ops::texts::OverwriteYesToAll},
                                                                 {"notoall", ops::texts::OverwriteNoToAll},
                                                                 {"cancelCommand", ops::texts::OverwriteCancelExport}};
    for (int i = 0; i < 5; ++i) {
        auto* b = button(this, captions[i].first, captions[i].second);
        const int answer = i == 4 ? -1 : i;
        connect(b, &QPushButton::clicked, this, [this, answer] { answerWith(answer); });
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
}

void OverDialog::answerWith(int answer) {
    answer_ = answer;
    if (answer < 0) reject();
    else accept();
}

void OverDialog::keyPressEvent(QKeyEvent* event) {
    // Lower-case letters only: a capital answers nothing.
    const QString key = event->text();
    if (event->key() == Qt::Key_Escape || key == QLatin1String("c")) answerWith(-1);
    else if (key == QLatin1String("y")) answerWith(0);
    else if (key == QLatin1String("n")) answerWith(1);
    else if (key == QLatin1String("s")) answerWith(2);
    else if (key == QLatin1String("o")) answerWith(3);
    else QDialog::keyPressEvent(event);
}

OverwriteDialog::OverwriteDialog(const std::string& target, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("overwrite"));
    setWindowTitle(qs(ops::texts::ChooseActionTitle));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label(this, "Label1", ops::texts::ExportFileExists));
    layout->addWidget(label(this, "Label2", target));
    auto* buttons = new QHBoxLayout;
    auto* overwrite = button(this, "overwrite", ops::texts::ChooseOverwrite);
    auto* append = button(this, "appendcommand", ops::texts::ChooseAppend);
    auto* cancel = button(this, "cancel", ops::texts::ChooseCancel);
    connect(overwrite, &QPushButton::clicked, this, [this] {
        answer_ = 0;
        accept();
    });
    connect(append, &QPushButton::clicked, this, [this] {
        answer_ = 1;
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    for (auto* b : {overwrite, append, cancel}) buttons->addWidget(b);
    layout->addLayout(buttons);
}

KeysHelpDialog::KeysHelpDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("keyshelp"));
    setWindowTitle(qs(texts::KeysHelpCaption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label(this, "Label1", texts::KeysHelpText));
    check_ = new QCheckBox(qs(texts::KeysHelpDontShow), this);
    check_->setObjectName(QStringLiteral("Check1"));
    layout->addWidget(check_);
    auto* buttons = new QHBoxLayout;
    auto* yes = button(this, "yes", texts::KeysHelpYes);
    auto* no = button(this, "no", texts::KeysHelpNo);
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(yes);
    buttons->addWidget(no);
    layout->addLayout(buttons);
}

bool KeysHelpDialog::dontShowAgain() const { return check_->isChecked(); }

LanguageDialog::LanguageDialog(ops::Workspace& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
    setObjectName(QStringLiteral("language"));
    setWindowTitle(qs(texts::LanguageCaption));
    auto* layout = new QVBoxLayout(this);
    auto* explanation = label(this, "Label1", texts::LanguageExplanation);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("List1"));
    list_->addItem(qs(ops::texts::NoChange));
    for (const auto entry : texts::LanguageEntries) list_->addItem(qs(entry));
    list_->setCurrentRow(0);
    layout->addWidget(list_);
    const auto& info = ws.env().reader.file().info;
    layout->addWidget(label(this, "Label2", std::string(texts::LanguageOfFile) + info.languageName));
    layout->addWidget(label(this, "Label3", os::pathText(ws.commandFile())));
    auto* convert = button(this, "Convert", texts::LanguageConvert);
    connect(convert, &QPushButton::clicked, this, [this] { Convert_Click(); });
    layout->addWidget(convert, 0, Qt::AlignRight);
    resize(480, 360);
}

void LanguageDialog::Convert_Click() {
    const auto* item = list_->currentItem();
    std::string entry = item ? item->text().toStdString() : std::string(ops::texts::NoChange);
    if (entry.rfind(texts::LanguageEntryPrefix, 0) == 0) entry.erase(0, texts::LanguageEntryPrefix.size());
    const auto outcome = ops::ConvertLanguage(ws_, entry).run();
    if (outcome.reason == ops::Outcome::Reason::NothingChosen) {
        reject(); // "No conversion done" was said
        return;
    }
    if (!outcome.isDone()) return; // told; the user may choose another language
    ws_.prompter().message(outcome.text, outcome.title);
    converted_ = true;
    accept();
}

} // namespace vocabrella::ui
