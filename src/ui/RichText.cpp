#include "ui/RichText.h"

#include "ui/Texts.h"

#include <QImage>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace vocabrella::ui {
namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

Qt::Alignment alignmentOf(rtf::Alignment a) {
    switch (a) {
    case rtf::Alignment::Center: return Qt::AlignHCenter;
    case rtf::Alignment::Right: return Qt::AlignRight;
    case rtf::Alignment::Justify: return Qt::AlignJustify;
    case rtf::Alignment::Left: break;
    }
    return Qt::AlignLeft;
}

QTextCharFormat charFormatOf(const rtf::CharFormat& f) {
    QTextCharFormat c;
    if (!f.font.empty()) c.setFontFamilies({qs(f.font)});
    c.setFontPointSize(f.pointSize);
    c.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
    c.setFontItalic(f.italic);
    c.setFontUnderline(f.underline);
    return c;
}

void insertPlaceholder(QTextCursor& cursor, const std::string& source) {
    QTextCharFormat f;
    f.setFontItalic(true);
    f.setForeground(Qt::darkGray);
    cursor.insertText(qs(texts::PicturePlaceholderPrefix) + qs(source) + qs(texts::PicturePlaceholderSuffix), f);
}

} // namespace

void loadRichText(QTextDocument& document, const rtf::Document& rtf, double logicalDpi) {
    document.clear();
    QTextCursor cursor(&document);
    int pictureNumber = 0;
    bool first = true;
    for (const auto& paragraph : rtf.paragraphs) {
        QTextBlockFormat block;
        block.setAlignment(alignmentOf(paragraph.alignment));
        if (first) cursor.setBlockFormat(block);
        else cursor.insertBlock(block);
        first = false;
        for (const auto& item : paragraph.items) {
            if (const auto* run = std::get_if<rtf::TextRun>(&item)) {
                // A line break inside the paragraph is Qt's line separator, not a new block.
                QString text = qs(run->text);
                text.replace(QLatin1Char('\n'), QChar(QChar::LineSeparator));
                cursor.insertText(text, charFormatOf(run->format));
                continue;
            }
            const auto& picture = std::get<rtf::Picture>(item);
            QImage image;
            if (picture.kind != rtf::Picture::Kind::Other)
                image.loadFromData(picture.data.data(), static_cast<int>(picture.data.size()),
                                   picture.kind == rtf::Picture::Kind::Png ? "PNG" : "JPG");
            if (image.isNull()) {
                insertPlaceholder(cursor, picture.source);
                continue;
            }
            const QUrl name(QStringLiteral("picture:%1").arg(++pictureNumber));
            document.addResource(QTextDocument::ImageResource, name, image);
            QTextImageFormat f;
            f.setName(name.toString());
            // Twips to pixels: 1440 to the inch.
            if (picture.widthTwips > 0) f.setWidth(picture.widthTwips * logicalDpi / 1440.0);
            if (picture.heightTwips > 0) f.setHeight(picture.heightTwips * logicalDpi / 1440.0);
            cursor.insertImage(f);
        }
    }
}

} // namespace vocabrella::ui
