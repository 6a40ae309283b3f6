#include "ui/CompareDialog.h"

#include "ui/Texts.h"
#include "cmdfile/System.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vocabrella::ui {

namespace {

QString widgetText(std::string_view text) {
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

} // namespace

CompareDialog::CompareDialog(const QString& title, const QString& heading, const QString& differences, bool asks,
                             QWidget* parent)
    : QDialog(parent), heading_(new QLabel(heading, this)), differences_(new QPlainTextEdit(differences, this)) {
    setWindowTitle(title);
    setObjectName(QStringLiteral("CompareDialog"));
    heading_->setObjectName(QStringLiteral("heading"));
    heading_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    differences_->setObjectName(QStringLiteral("differences"));
    differences_->setReadOnly(true);
    differences_->setLineWrapMode(QPlainTextEdit::NoWrap);
    differences_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QDialogButtonBox(this);
    if (asks) {
        buttons->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    } else {
        auto* close = buttons->addButton(widgetText(texts::CompareClose), QDialogButtonBox::RejectRole);
        close->setObjectName(QStringLiteral("close"));
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(differences_, 1);
    layout->addWidget(buttons);
    resize(720, 480);
}

QString CompareDialog::heading() const { return heading_->text(); }
QString CompareDialog::differences() const { return differences_->toPlainText(); }

} // namespace vocabrella::ui
