#pragma once

#include "ui/WindowContext.h"

#include <QObject>

#include <string>

class QMenu;
class QMenuBar;

namespace vocabrella::ui {

enum class BatchMode;

// The "&Tools" menu: the batch operations, the KEYS conversions, the conversions of the whole
// file to another version or language, and "Check Commands...".
class ToolsActions final : public QObject {
    Q_OBJECT
public:
    ToolsActions(WindowContext& ctx, QMenuBar* bar);
    QMenu* menu() const { return toolsMenu_; }

    void batch(BatchMode mode);
    void convertKeys(BatchMode mode);
    void convertVersion(const std::string& target);
    void convertLanguage();
    void check();

private:
    void runBatchDialog(BatchMode mode);
    void refreshIfChanged();

    WindowContext& ctx_;
    QMenu* toolsMenu_;
};

} // namespace vocabrella::ui
