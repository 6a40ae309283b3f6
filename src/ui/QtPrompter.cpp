#include "ui/QtPrompter.h"

#include "ui/CompareDialog.h"
#include "ui/Texts.h"
#include "ui/ToolsDialogs.h"

#include <QApplication>
#include <QFontDatabase>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace vocabrella::ui {
namespace {

QString widgetText(std::string_view text) {
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

QString titleText(std::string_view title) { return title.empty() ? widgetText(texts::WindowTitle) : widgetText(title); }

} // namespace

void QtPrompter::attach(QWidget* parent, QLabel* statusLabel, QLabel* countLabel) {
    parent_ = parent;
    status_ = statusLabel;
    counts_ = countLabel;
}

void QtPrompter::message(std::string_view text, std::string_view title) {
    QMessageBox::information(parent_, titleText(title), widgetText(text));
}

void QtPrompter::table(std::string_view text, std::string_view title) {
    QMessageBox box(QMessageBox::Information, titleText(title), widgetText(text), QMessageBox::Ok, parent_);
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box.exec();
}

bool QtPrompter::yesNo(std::string_view text, std::string_view title) {
    return QMessageBox::question(parent_, titleText(title), widgetText(text), QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

bool QtPrompter::okCancel(std::string_view text, std::string_view title) {
    return QMessageBox::question(parent_, titleText(title), widgetText(text), QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

bool QtPrompter::okCancelDetailed(std::string_view text, std::string_view title, std::string_view details) {
    if (details.empty()) return okCancel(text, title);
    CompareDialog dialog(titleText(title), widgetText(text), widgetText(details), true, parent_);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<std::string> QtPrompter::input(std::string_view text, std::string_view title, std::string_view defaultValue) {
    bool ok = false;
    const QString answer = QInputDialog::getText(parent_, titleText(title), widgetText(text), QLineEdit::Normal,
                                                 widgetText(defaultValue), &ok);
    if (!ok) return std::nullopt;
    return answer.toStdString();
}

int QtPrompter::choice(std::string_view text, std::string_view title, const std::vector<std::string>& buttons) {
    QMessageBox box(QMessageBox::Question, titleText(title), widgetText(text), QMessageBox::NoButton, parent_);
    std::vector<QPushButton*> pushed;
    for (const auto& b : buttons) pushed.push_back(box.addButton(widgetText(b), QMessageBox::ActionRole));
    box.addButton(QMessageBox::Cancel)->hide(); // Escape cancels
    box.exec();
    for (std::size_t i = 0; i < pushed.size(); ++i)
        if (box.clickedButton() == pushed[i]) return static_cast<int>(i);
    return -1;
}

int QtPrompter::exportChoice(const ExportQuestion& question, std::string_view, std::string_view,
                             const std::vector<std::string>&) {
    if (question.kind == ExportQuestion::Kind::FileExists) {
        OverwriteDialog dialog(question.target, parent_);
        dialog.exec();
        return dialog.answer();
    }
    OverDialog dialog(question.target, question.command, question.source, parent_);
    dialog.exec();
    return dialog.answer();
}

void QtPrompter::status(std::string_view text) {
    if (!status_) return;
    status_->setText(widgetText(text));
    status_->repaint(); // long operations report progress without returning to the event loop
}

void QtPrompter::counts(std::string_view text) {
    if (!counts_) return;
    counts_->setText(widgetText(text));
    counts_->repaint();
}

} // namespace vocabrella::ui
