#include "ui/FindForm.h"

#include "cmdfile/Prompter.h"
#include "ui/Texts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vocabrella::ui {
namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

bool isEnter(const QKeyEvent* key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

} // namespace

FindForm::FindForm(Finder& finder, Prompter& prompter, Context context, QWidget* parent)
    : QDialog(parent), finder_(finder), prompter_(prompter), context_(std::move(context)) {
    setObjectName(QStringLiteral("findform"));
    setWindowTitle(qs(texts::find::Caption));

    searchfor_ = new QLineEdit(this);
    searchfor_->setObjectName(QStringLiteral("searchfor"));
    auto* label = new QLabel(qs(texts::find::SearchFor), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setBuddy(searchfor_);

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    const auto option = [&](const char* name, std::string_view caption) {
        auto* b = new QRadioButton(qs(caption), frame);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    findstate_ = option("findstate", texts::find::Scope);
    findname_ = option("findname", texts::find::Name);
    findcontent_ = option("findcontent", texts::find::Body);
    findname_->setChecked(true);
    auto* options = new QVBoxLayout(frame);
    options->addWidget(findstate_);
    options->addWidget(findname_);
    options->addWidget(findcontent_);

    casematch_ = new QCheckBox(qs(texts::find::MatchCase), this);
    casematch_->setObjectName(QStringLiteral("casematch"));

    const auto button = [&](const char* name, std::string_view caption) {
        auto* b = new QPushButton(qs(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    findnext_ = button("findnext", texts::find::Find);
    findagain_ = button("findagain", texts::find::FindAgain);
    findprevious_ = button("findprevious", texts::find::FindPrevious);
    findcancel_ = button("findcancel", texts::find::Cancel);
    findagain_->setEnabled(false);
    findprevious_->setEnabled(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(searchfor_, 1, 0);
    grid->addWidget(frame, 2, 0, 3, 1);
    grid->addWidget(casematch_, 5, 0);
    grid->addWidget(findnext_, 0, 1);
    grid->addWidget(findagain_, 1, 1);
    grid->addWidget(findprevious_, 2, 1);
    grid->addWidget(findcancel_, 3, 1);
    grid->setRowStretch(4, 1);
    searchfor_->setMinimumWidth(fontMetrics().averageCharWidth() * 36);

    connect(findnext_, &QPushButton::clicked, this, &FindForm::findnext_Click);
    connect(findagain_, &QPushButton::clicked, this, &FindForm::findagain_Click);
    connect(findprevious_, &QPushButton::clicked, this, &FindForm::findprevious_Click);
    connect(findcancel_, &QPushButton::clicked, this, &QDialog::reject);
    searchfor_->installEventFilter(this);
    findcontent_->installEventFilter(this);
}

void FindForm::showModal() {
    found_ = false;
    searchfor_->setFocus();
    exec();
}

bool FindForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == searchfor_ && event->type() == QEvent::FocusIn) {
        searchfor_->selectAll();
        enterPressed_ = false;
    }
    if (event->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(event))) {
        enterPressed_ = true;
        return true; // not the dialog's default button: Find runs when the key comes up
    }
    if (event->type() == QEvent::KeyRelease && isEnter(static_cast<QKeyEvent*>(event))) {
        if (enterPressed_) {
            enterPressed_ = false;
            findnext_Click();
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<FindQuery> FindForm::query() {
    found_ = false;
    const std::string text = searchfor_->text().toStdString();
    if (text.empty()) {
        reject();
        return std::nullopt;
    }
    const FindField field = findstate_->isChecked()     ? FindField::Scope
                            : findcontent_->isChecked() ? FindField::Body
                                                        : FindField::Name;
    return FindQuery{text, field, casematch_->isChecked()};
}

void FindForm::foundHit(const FindHit& hit) {
    hit_ = hit;
    found_ = true;
    findagain_->setEnabled(true);
    findagain_->setFocus();
    hide();
}

void FindForm::noMoreMatches(const std::string& text) {
    prompter_.message("\"" + text + "\"" + std::string(texts::find::NoMoreMatches), texts::find::NotFoundTitle);
}

void FindForm::findnext_Click() {
    const auto q = query();
    if (!q) return;
    const Selection& selection = context_.selection();
    if (const auto hit = finder_.first(context_.store(), *q, selection)) {
        findprevious_->setEnabled(true);
        foundHit(*hit);
        return;
    }
    const auto where = selection.view.all ? texts::find::YourMacroFiles : texts::find::CurrentView;
    prompter_.message("\"" + q->text + "\"" + std::string(texts::find::NotFoundIn) + std::string(where),
                      texts::find::NotFoundTitle);
    searchfor_->setFocus();
}

void FindForm::findagain_Click() {
    const auto q = query();
    if (!q) return;
    if (const auto hit = finder_.next(context_.store(), *q, context_.selection())) {
        findprevious_->setEnabled(true);
        foundHit(*hit);
        return;
    }
    noMoreMatches(q->text);
    findagain_->setEnabled(false);
    hide();
}

void FindForm::findprevious_Click() {
    const auto q = query();
    if (!q) return;
    if (const auto hit = finder_.previous(context_.store(), *q, context_.selection())) {
        foundHit(*hit);
        return;
    }
    noMoreMatches(q->text);
    findprevious_->setEnabled(false);
    findagain_->setEnabled(false);
    hide();
}

} // namespace vocabrella::ui
