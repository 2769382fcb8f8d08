#pragma once

// The links of a help page, and a real click on one through the window system, so that a
// window blocked by a modal one ignores it as it would a user's click.
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

namespace tarvona::test {

inline QStringList HelpLinks(const QTextBrowser* page) {
    QStringList links;
    for (QTextBlock block = page->document()->begin(); block.isValid(); block = block.next())
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment)
            if (fragment.fragment().charFormat().isAnchor())
                links.append(fragment.fragment().charFormat().anchorHref());
    return links;
}

// Clicks the middle of the first link to href; false when the page has none.
inline bool ClickHelpLink(QTextBrowser* page, const QString& href) {
    for (QTextBlock block = page->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() != href) continue;
            QTextCursor cursor(page->document());
            cursor.setPosition(fragment.position() + fragment.length() / 2);
            page->setTextCursor(cursor);
            page->ensureCursorVisible();
            const QPoint inView = page->cursorRect(cursor).center();
            QWidget* window = page->window();
            const QPoint inWindow = page->viewport()->mapTo(window, inView);
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, inWindow);
            return true;
        }
    return false;
}

}  // namespace tarvona::test
