#include "TextSearch.h"

#include "CharFilter.h"
#include "LineEditor.h"

#include "app/Zelk.h"
#include "pages/PageView.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace {

const QString kFind = QStringLiteral("Find");
const QString kGoToNext = QStringLiteral("Go To Next");

} // namespace

QList<int> findPages(const PageTable& table, const QString& text)
{
    QList<int> pages;
    for (int p = 1; p <= slot::kPages; ++p)
        for (int n = 0; n < slot::kLines; ++n)
            if (table.text(slot::page(p, slot::kLine1 + n)).contains(text, Qt::CaseInsensitive)) {
                pages.append(p);
                break;
            }
    return pages;
}

TextSearch::TextSearch(Zelk& z) : z_(z)
{
    z_.search = this;
}

void TextSearch::buildInto(QGroupBox* frame)
{
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);

    txtSearchText_ = new QLineEdit(frame);
    txtSearchText_->setObjectName(QStringLiteral("txtSearchText"));
    txtSearchText_->setMaxLength(editor::kWidth);
    txtSearchText_->setAcceptDrops(false); // a drop would bypass the filter
    txtSearchText_->setContextMenuPolicy(Qt::NoContextMenu);
    cmdFind_ = new QPushButton(kFind, frame);
    cmdFind_->setObjectName(QStringLiteral("cmdFind"));
    cmdFind_->setAutoDefault(false);
    auto* caption = new QLabel(QStringLiteral("Search Status:"), frame);
    caption->setObjectName(QStringLiteral("lbloccurences"));
    lblFindStatus_ = new QLabel(frame);
    lblFindStatus_->setObjectName(QStringLiteral("lblFindStatus"));

    grid->addWidget(txtSearchText_, 0, 0, 1, 2);
    grid->addWidget(cmdFind_, 1, 1);
    grid->addWidget(caption, 1, 0);
    grid->addWidget(lblFindStatus_, 2, 0, 1, 2);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(0, 1);

    txtSearchText_->installEventFilter(this);
    connect(txtSearchText_, &QLineEdit::textChanged, this, [this] { txtSearchText_Change(); });
    connect(cmdFind_, &QPushButton::clicked, this, [this] { cmdFind_Click(); });
}

void TextSearch::txtSearchText_Change()
{
    if (z_.EventsSuppressed)
        return;
    cmdFind_->setText(kFind);
    lblFindStatus_->clear();
    z_.table.setText(slot::kSearchText, txtSearchText_->text());
    MatchCount = 0;
    CurrentMatch = 0;
    MatchPages.clear();
}

bool TextSearch::txtSearchText_KeyPress(QKeyEvent* key)
{
    if (z_.EventsSuppressed)
        return false;
    if (key->matches(QKeySequence::Paste)) {
        pasteFiltered();
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        cmdFind_Click();
        return true;
    }
    // Keys that type nothing (arrows, Tab, Delete, Backspace, Ctrl with a letter) keep their meaning in the box.
    const QString text = key->text();
    if (text.size() > 1)
        return true; // a composed character is never a titler's
    if (text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127)
        return false;
    const bool blockSpaces = z_.editor && z_.editor->BlockSpaceMode;
    const int c = editor::FilterChar(text.at(0).unicode(), blockSpaces);
    if (c != 0 && c != 8 && c != 13)
        txtSearchText_->insert(QString(QChar(char16_t(c)))); // as a titler shows it: in capitals
    return true;
}

void TextSearch::pasteFiltered()
{
    QString typed;
    for (const QChar ch : QGuiApplication::clipboard()->text()) {
        const int c = editor::FilterChar(ch.unicode(), false);
        if (c != 0 && c != 8 && c != 13)
            typed += QChar(char16_t(c));
    }
    txtSearchText_->insert(typed);
}

void TextSearch::cmdFind_Click()
{
    if (z_.EventsSuppressed || txtSearchText_->text().isEmpty())
        return;
    if (MatchCount == 0)
        FindAll();
    else
        GoToNextMatch();
}

void TextSearch::FindAll()
{
    if (z_.EventsSuppressed)
        return;
    MatchPages = findPages(z_.table, txtSearchText_->text());
    MatchCount = qint16(MatchPages.size());
    if (MatchCount == 0) {
        lblFindStatus_->setText(QStringLiteral("Text Not Found"));
        return;
    }
    GoToNextMatch();
}

void TextSearch::GoToNextMatch()
{
    if (z_.EventsSuppressed || MatchCount == 0)
        return;
    CurrentMatch = qint16(CurrentMatch + 1);
    if (CurrentMatch > MatchCount)
        CurrentMatch = 1;
    lblFindStatus_->setText(QStringLiteral("Occurence %1 of %2").arg(CurrentMatch).arg(MatchCount));
    cmdFind_->setText(kGoToNext);
    if (z_.ui.txtPageNumber)
        z_.ui.txtPageNumber->setText(QString::number(MatchPages.at(CurrentMatch - 1)));
    if (z_.pageView)
        z_.pageView->ShowPage();
}

bool TextSearch::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtSearchText_ && event->type() == QEvent::KeyPress)
        return txtSearchText_KeyPress(static_cast<QKeyEvent*>(event));
    // The selection paste of the middle button would bypass the filter.
    if (watched == txtSearchText_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton)
        return true;
    return QObject::eventFilter(watched, event);
}
