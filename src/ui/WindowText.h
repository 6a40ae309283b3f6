#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QString>

#include <string>
#include <string_view>

// Small helpers the parts of the main window share: text between the store and the widgets,
// and menus and entries with their object names.
namespace vocabrella::ui {

inline QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string str(const QString& s) { return s.toStdString(); }

// Store text keeps CR LF; Qt's text widgets hold LF.
inline QString widgetText(std::string_view crlf) {
    QString s = qs(crlf);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

// Menu captions treat "&" as the accelerator mark; a name shows its own "&" doubled.
inline QString captionOf(const std::string& name) {
    QString s = qs(name);
    s.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return s;
}

// The store name behind an entry of a menu built from the store (the caption may be numbered).
inline constexpr const char* kEntryName = "entryName";

inline QMenu* addMenu(QMenuBar* bar, const char* name, std::string_view caption) {
    auto* m = bar->addMenu(qs(caption));
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    return m;
}

inline QAction* addEntry(QMenu* m, const char* name, std::string_view caption, bool enabled = true) {
    auto* a = m->addAction(qs(caption));
    a->setObjectName(QString::fromLatin1(name));
    a->setEnabled(enabled);
    return a;
}

} // namespace vocabrella::ui
