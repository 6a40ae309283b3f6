// The window without a Dragon installation: what needs Dragon is off, and the status line says
// why (and, while no file is open, how to open one or reach an installation).

#include "ui/Form1.h"

#include "shell/Application.h"
#include "ui/Texts.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

namespace vocabrella::ui {

bool Form1::dragonAvailable() const { return app_.dragonAvailable(); }

void Form1::showDragonAvailability() {
    if (dragonAvailable()) return;
    // The speech user's reload and backups, Dragon's path, and debugging in Dragon's editor.
    for (const char* name : {"filereload", "filereset", "rollbackset", "CommandDebugBasic"})
        if (auto* a = findChild<QAction*>(QString::fromLatin1(name))) a->setEnabled(false);
    rollback_->menuAction()->setEnabled(false);

    auto* note = findChild<QLabel*>(QStringLiteral("NoDragon"));
    if (!note) {
        note = new QLabel(this);
        note->setObjectName(QStringLiteral("NoDragon"));
        note->setToolTip(QString::fromUtf8(texts::NoDragonWhy.data(), static_cast<qsizetype>(texts::NoDragonWhy.size())));
        statusBar()->insertPermanentWidget(1, note); // after the status label, before the counts
    }
    const std::string_view text = fileOpen() ? texts::NoDragonFileOpen : texts::NoDragonNoFile;
    note->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

} // namespace vocabrella::ui
