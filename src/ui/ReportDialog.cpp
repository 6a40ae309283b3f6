#include "ui/ReportDialog.h"

#include "cmdfile/Codec.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/Store.h"
#include "ops/BatchSelection.h"
#include "ops/WriteDvcFile.h"
#include "ops/WriteReport.h"
#include "ops/Workspace.h"
#include "shell/Session.h"
#include "ui/Dialogs.h"
#include "ui/Printing.h"
#include "ui/Selection.h"
#include "ui/Texts.h"
#include "cmdfile/System.h"

#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <fstream>
#include <iterator>

namespace vocabrella::ui {
namespace fs = std::filesystem;
namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// A program, scope or Group name as part of a file name: no folder separators.
std::string fileStem(std::string name) {
    for (auto& c : name)
        if (c == '/') c = '_';
    return name;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The outputs are Windows-1252 with CR LF line ends; the printer and the clipboard take lines.
QStringList linesOf(const fs::path& file) {
    QString text = QString::fromStdString(codec::cp1252ToUtf8(readFile(file)));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    return text.split(QLatin1Char('\n'));
}

} // namespace

std::optional<fs::path> askForPdfFile(QWidget* parent, const fs::path& proposed) {
    QFileDialog dialog(parent, qs(texts::report::PdfPrinter), QString::fromStdString(os::pathText(proposed)),
                       qs(texts::report::PdfFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return os::pathFrom(dialog.selectedFiles().front().toStdString());
}

ExportReportDialog::ExportReportDialog(ops::Workspace& ws, Context context, HelpWindow& help, QWidget* parent)
    : QDialog(parent), ws_(ws), context_(std::move(context)), folder_(ops::exportFolder(ws)) {
    namespace t = texts::report;
    setObjectName(QStringLiteral("exportdat"));
    setWindowTitle(qs(t::DefaultTitle));
    const auto radio = [](QWidget* owner, const char* name, std::string_view caption) {
        auto* r = new QRadioButton(qs(caption), owner);
        r->setObjectName(QString::fromLatin1(name));
        return r;
    };
    const auto button = [this](const char* name, std::string_view caption) {
        auto* b = new QPushButton(qs(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };

    Frame1_ = new QGroupBox(qs(t::ScopeFrame), this);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    outputall_ = radio(Frame1_, "outputall", t::Everything);
    outputapp_ = radio(Frame1_, "outputapp", t::CurrentProgram);
    outputstate_ = radio(Frame1_, "outputstate", t::CurrentScope);
    outputgroup_ = radio(Frame1_, "outputgroup", t::CurrentGroup);
    outputselect_ = radio(Frame1_, "outputselect", t::PickAndChoose);
    auto* scopes = new QVBoxLayout(Frame1_);
    for (auto* r : {outputall_, outputapp_, outputstate_, outputgroup_, outputselect_}) scopes->addWidget(r);

    Frame2_ = new QGroupBox(qs(t::DestinationFrame), this);
    Frame2_->setObjectName(QStringLiteral("Frame2"));
    tofile_ = radio(Frame2_, "tofile", t::ToFile);
    toprinter_ = radio(Frame2_, "toprinter", t::ToPrinter);
    ToClipboard_ = radio(Frame2_, "ToClipboard", t::ToClipboard);
    auto* destinations = new QVBoxLayout(Frame2_);
    for (auto* r : {tofile_, toprinter_, ToClipboard_}) destinations->addWidget(r);
    destinations->addStretch();

    Label1_ = new QLabel(qs(t::FileLabel), this);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Text1_ = new QLineEdit(this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setMinimumWidth(Text1_->fontMetrics().averageCharWidth() * 48); // a whole path shows
    Combo1_ = new QComboBox(this);
    Combo1_->setObjectName(QStringLiteral("Combo1"));
    specify_ = button("specify", t::Specify);
    Command2_ = button("Command2", t::ActionExport);
    Command2_->setDefault(true);
    cancel_ = button("cancel", t::Cancel);
    List1_ = new QListWidget(this);
    List1_->setObjectName(QStringLiteral("List1"));
    List1_->setSelectionMode(QAbstractItemView::MultiSelection);

    auto* frames = new QHBoxLayout;
    frames->addWidget(Frame1_);
    frames->addWidget(Frame2_);
    auto* name = new QHBoxLayout;
    name->addWidget(Label1_);
    name->addWidget(Text1_, 1);
    name->addWidget(Combo1_, 1);
    name->addWidget(specify_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command2_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addLayout(name);
    layout->addLayout(buttons);
    layout->addWidget(List1_, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize); // shrinks again when the pick list hides

    // Opening.
    Text1_->setText(QString::fromStdString(os::pathText(proposed(std::string(t::GlobalName)))));
    List1_->addItems(context_.commands);
    List1_->hide();
    const auto& mode = context_.mode;
    if (mode == "txt") {
        setWindowTitle(qs(t::TitleTxt));
        Command2_->setText(qs(t::ActionPrint));
        toprinter_->setChecked(true);
    } else {
        setWindowTitle(qs(mode == "csv" ? t::TitleCsv : mode == "dvc" ? t::TitleDvc : t::TitlePseudo));
        tofile_->setChecked(true);
    }
    const auto& view = context_.selection.view;
    if (view.followCommand || view.followList) {
        outputselect_->setChecked(true);
        outputselect_->setText(qs(t::SeeBelow));
        chooseScope(Scope::Pick);
    } else {
        outputall_->setChecked(true);
        outputselect_->setText(qs(t::PickAndChooseLower));
    }
    showDestination();

    const std::pair<QRadioButton*, Scope> options[] = {{outputall_, Scope::Everything},
                                                       {outputapp_, Scope::Program},
                                                       {outputstate_, Scope::State},
                                                       {outputgroup_, Scope::Group},
                                                       {outputselect_, Scope::Pick}};
    for (const auto& [option, scope] : options)
        connect(option, &QRadioButton::clicked, this, [this, scope = scope] { chooseScope(scope); });
    for (auto* r : {tofile_, toprinter_, ToClipboard_})
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on) showDestination();
        });
    connect(specify_, &QPushButton::clicked, this, &ExportReportDialog::specify_Click);
    connect(Command2_, &QPushButton::clicked, this, &ExportReportDialog::Command2_Click);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    installHelpKey(this, help, kHelpExportReport);
}

fs::path ExportReportDialog::proposed(const std::string& stem, bool inExportFolder) const {
    const fs::path folder = inExportFolder ? folder_ : ws_.session().home();
    return folder / (fileStem(stem) + "." + context_.mode);
}

void ExportReportDialog::chooseScope(Scope scope) {
    const auto& s = context_.selection;
    List1_->setVisible(scope == Scope::Pick);
    switch (scope) {
    case Scope::Everything: Text1_->setText(QString::fromStdString(os::pathText(proposed(std::string(texts::report::GlobalName))))); break;
    case Scope::Group: Text1_->setText(QString::fromStdString(os::pathText(proposed(s.group)))); break;
    case Scope::Program: Text1_->setText(QString::fromStdString(os::pathText(proposed(s.program)))); break;
    case Scope::State: Text1_->setText(QString::fromStdString(os::pathText(proposed(s.scope)))); break;
    case Scope::Pick:
        if (s.view.followCommand && List1_->count() > 0) {
            QString first = List1_->item(0)->text();
            first.replace(QLatin1Char('<'), QLatin1Char('[')).replace(QLatin1Char('>'), QLatin1Char(']'));
            Text1_->setText(QString::fromStdString(os::pathText(proposed(first.toStdString(), false))));
            List1_->selectAll();
        } else if (s.view.followList) {
            Text1_->setText(QString::fromStdString(os::pathText(proposed(s.followedListName, false))));
            List1_->selectAll();
        } else {
            Text1_->setText(QString::fromStdString(os::pathText(proposed(std::string(texts::report::SelectedName)))));
        }
        break;
    }
}

void ExportReportDialog::showDestination() {
    namespace t = texts::report;
    const bool file = tofile_->isChecked(), printer = toprinter_->isChecked();
    Text1_->setVisible(!printer);
    specify_->setVisible(!printer);
    Combo1_->setVisible(printer);
    Label1_->setText(qs(printer ? t::PrinterLabel : t::FileLabel));
    Label1_->setBuddy(printer ? static_cast<QWidget*>(Combo1_) : Text1_);
    if (printer && Combo1_->count() == 0) {
        const auto printers = installedPrinters();
        if (printers.isEmpty()) Combo1_->addItem(qs(t::PdfPrinter));
        else Combo1_->addItems(printers);
        const int current = Combo1_->findText(defaultPrinter());
        Combo1_->setCurrentIndex(current >= 0 ? current : 0);
    }
    const bool clipboard = ToClipboard_->isChecked();
    Text1_->setEnabled(file);
    specify_->setEnabled(file);
    Combo1_->setEnabled(!clipboard);
}

void ExportReportDialog::specify_Click() {
    const auto& mode = context_.mode;
    QFileDialog dialog(this, windowTitle(), Text1_->text(), QStringLiteral("%1 (*.%1)").arg(qs(mode)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(qs(mode));
    dialog.setDirectory(QString::fromStdString(os::pathText(folder_)));
    dialog.selectFile(Text1_->text());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        Text1_->setText(dialog.selectedFiles().front());
}

ops::BatchSelection ExportReportDialog::chosenSelection() const {
    const auto& s = context_.selection;
    ops::BatchSelection b;
    b.program = s.program;
    b.state = s.scope;
    b.group = s.group;
    b.isRowShown = [&s](const CommandStore::RowHead& row) { return s.IsRowShown(row); };
    if (outputall_->isChecked()) b.scope = ops::BatchScope::Everything;
    else if (outputapp_->isChecked()) b.scope = ops::BatchScope::CurrentApp;
    else if (outputstate_->isChecked()) b.scope = ops::BatchScope::CurrentScope;
    else if (outputgroup_->isChecked()) b.scope = ops::BatchScope::CurrentGroup;
    else b.scope = ops::BatchScope::PickAndChoose;
    if (b.scope == ops::BatchScope::PickAndChoose)
        for (int i = 0; i < List1_->count(); ++i)
            if (List1_->item(i)->isSelected()) b.picked.push_back(List1_->item(i)->text().toStdString());
    return b;
}

void ExportReportDialog::Command2_Click() {
    const bool file = tofile_->isChecked();
    if (file && Text1_->text().trimmed().isEmpty()) {
        Text1_->setFocus();
        return;
    }
    // The PDF file is asked for first: a cancel there leaves everything as it was.
    std::optional<fs::path> pdf;
    if (toprinter_->isChecked() && installedPrinters().isEmpty()) {
        const auto stem = os::pathText(os::pathFrom(Text1_->text().toStdString()).stem());
        pdf = context_.choosePdfFile ? context_.choosePdfFile(folder_ / (stem + ".pdf"))
                                     : askForPdfFile(this, folder_ / (stem + ".pdf"));
        if (!pdf) return;
    }
    const fs::path output = file ? os::pathFrom(Text1_->text().trimmed().toStdString())
                                 : os::pathFrom(temporary_.path().toStdString()) / ("report." + context_.mode);
    const auto& mode = context_.mode;
    ops::Outcome outcome;
    if (mode == "dvc" || mode == "pseudo") {
        outcome = ops::WriteDvcFile(ws_, chosenSelection(), output, mode == "pseudo").run();
    } else {
        outcome = ops::WriteReport(ws_, chosenSelection(), output, mode).run();
    }
    if (!outcome.isDone()) return; // told already; the dialog stays open
    if (file) {
        ops::rememberExportFolder(ws_, output);
    } else {
        const auto lines = linesOf(output);
        fs::remove(output);
        if (ToClipboard_->isChecked()) {
            QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
        } else {
            PrintTarget target;
            if (pdf) target.pdfFile = *pdf;
            else target.printer = Combo1_->currentText();
            const QString failed = printLines(lines, target);
            if (!failed.isEmpty()) {
                ws_.prompter().message(std::string(texts::report::PrintFailed) + failed.toStdString(), {});
                return;
            }
        }
    }
    accept();
}

} // namespace vocabrella::ui
