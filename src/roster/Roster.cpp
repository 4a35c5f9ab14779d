#include "Roster.h"

#include "RosterList.h"
#include "RosterRules.h"

#include "core/Errors.h"
#include "app/Zelk.h"
#include "link/CommandProtocol.h"
#include "link/StatusLine.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

namespace {

const QString kEnableAll = QStringLiteral("Enable All");
const QString kDisableAll = QStringLiteral("Disable All");

// Typed and pasted names pass the editor's character filter: capitals, and only what a titler can show.
class NameValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override
    {
        pos = int(roster::filterName(input.left(pos)).size());
        input = roster::filterName(input);
        return Acceptable;
    }
};

QLabel* legendText(const char* name, const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

Roster::Roster(Zelk& z) : z_(z)
{
    z_.roster = this;
}

QWidget* Roster::buildPanel(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);

    auto* title = new QLabel(QStringLiteral("ZELK NAME/VERSION SETUP"), panel);
    title->setObjectName(QStringLiteral("lblZELKNameSetup"));
    title->setAlignment(Qt::AlignCenter);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    column->addWidget(title);

    auto* row = new QHBoxLayout;
    row->addWidget(buildNamesGroup(panel), 1);
    row->addWidget(buildVersionGroup(panel), 1);
    column->addLayout(row, 1);

    // Identification (a link sequence) hooks onto this button.
    z_.ui.cmdIdentify = new QPushButton(QStringLiteral("Identify Titlers"), panel);
    z_.ui.cmdIdentify->setObjectName(QStringLiteral("cmdIdentify"));
    z_.ui.cmdIdentify->setAutoDefault(false);
    column->addWidget(z_.ui.cmdIdentify, 0, Qt::AlignHCenter);

    z_.ui.lstTitlerNames = names_;
    z_.ui.lstTitlerVersion = versions_;
    return panel;
}

QWidget* Roster::buildNamesGroup(QWidget* parent)
{
    auto* group = new QGroupBox(QStringLiteral("Titler Names && Enabling"), parent);
    group->setObjectName(QStringLiteral("fraTitlerNames"));
    auto* grid = new QGridLayout(group);

    names_ = new RosterList(group);
    names_->setObjectName(QStringLiteral("lstTitlerNames"));
    grid->addWidget(names_, 0, 0, 1, 3);

    enabledExample_ = new QCheckBox(group);
    enabledExample_->setObjectName(QStringLiteral("chkEnabledExample"));
    auto* legend = new QHBoxLayout;
    legend->addWidget(enabledExample_);
    legend->addWidget(legendText("lblEnabledExample", QStringLiteral("= Enabled For Communication"), group), 1);
    grid->addLayout(legend, 1, 0, 1, 3);

    nameBox_ = new QLineEdit(group);
    nameBox_->setObjectName(QStringLiteral("txtTitlerName"));
    nameBox_->setMaxLength(roster::kNameWidth);
    nameBox_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    nameBox_->setValidator(new NameValidator(nameBox_));
    nameBox_->setMinimumWidth(QFontMetrics(nameBox_->font()).horizontalAdvance(QString(roster::kNameWidth + 2, 'W')));
    grid->addWidget(nameBox_, 2, 0, 1, 2);

    auto button = [group](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, group);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* apply = button("cmdSetTitlerName", QStringLiteral("Apply"));
    QPushButton* clear = button("cmdClearTitlerName", QStringLiteral("Clear"));
    QPushButton* clearAll = button("cmdClearAllNames", QStringLiteral("Clear All "));
    enDisableAll_ = button("CmdEnDisableAll", kEnableAll);
    grid->addWidget(apply, 2, 2);
    grid->addWidget(clear, 3, 0);
    grid->addWidget(clearAll, 3, 1);
    grid->addWidget(enDisableAll_, 3, 2);
    grid->setRowStretch(0, 1);

    connect(names_, &RosterList::rowClicked, this, &Roster::lstTitlerNames_Click);
    connect(names_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& s, const QItemSelection& d) {
                ticksChanged(names_, slot::kTitlerEnabledBlock, s, d);
            });
    connect(nameBox_, &QLineEdit::returnPressed, this, &Roster::cmdSetTitlerName_Click);
    connect(apply, &QPushButton::clicked, this, &Roster::cmdSetTitlerName_Click);
    connect(clear, &QPushButton::clicked, this, &Roster::cmdClearTitlerName_Click);
    connect(clearAll, &QPushButton::clicked, this, &Roster::cmdClearAllNames_Click);
    connect(enDisableAll_, &QPushButton::clicked, this, &Roster::CmdEnDisableAll_Click);
    connect(enabledExample_, &QCheckBox::clicked, this, &Roster::chkEnabledExample_Click);
    enabledExample_->setChecked(true);
    // A legend only shows what a tick means; it takes no focus, so the keyboard cannot untick it either.
    enabledExample_->setFocusPolicy(Qt::NoFocus);
    return group;
}

QWidget* Roster::buildVersionGroup(QWidget* parent)
{
    auto* group = new QGroupBox(QStringLiteral("Titler Version"), parent);
    group->setObjectName(QStringLiteral("fraTitlerVersion"));
    auto* column = new QVBoxLayout(group);

    versions_ = new RosterList(group);
    versions_->setObjectName(QStringLiteral("lstTitlerVersion"));
    column->addWidget(versions_, 1);

    verExample_ = new QCheckBox(group);
    verExample_->setObjectName(QStringLiteral("chkVerExample"));
    verExample_->setChecked(true);
    verExample_->setFocusPolicy(Qt::NoFocus);
    auto* legend = new QHBoxLayout;
    legend->addWidget(verExample_);
    legend->addWidget(legendText("lblVerExample", QStringLiteral("= Ver Below 3.30"), group), 1);
    column->addLayout(legend);

    connect(versions_, &RosterList::rowClicked, this, &Roster::lstTitlerVersion_Click);
    connect(versions_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& s, const QItemSelection& d) {
                ticksChanged(versions_, slot::kTitlerVersionBlock, s, d);
            });
    connect(verExample_, &QCheckBox::clicked, this, &Roster::chkVerExample_Click);
    return group;
}

bool Roster::storeTick(QListWidget* list, int block, int row)
{
    const QListWidgetItem* item = list->item(row);
    if (!item)
        return false;
    const int s = slot::titler(block, row + 1);
    const bool ticked = item->isSelected();
    if (z_.table.toBool(s) == ticked)
        return false;
    z_.table.setBool(s, ticked);
    return true;
}

void Roster::ticksChanged(QListWidget* list, int block, const QItemSelection& selected,
                          const QItemSelection& deselected)
{
    // While the lists are rebuilt from the slots their rows come and go; the filling sets the ticks from the slots.
    if (z_.EventsSuppressed || bulk_ || list->count() != roster::kTitlers)
        return;
    try {
        bool changed = false;
        for (const QItemSelection* s : {&selected, &deselected})
            for (const QModelIndex& i : s->indexes())
                changed = storeTick(list, block, i.row()) || changed;
        if (changed)
            followTitlerOnScreen();
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void Roster::lstTitlerNames_Click()
{
    if (z_.EventsSuppressed)
        return;
    try {
        const QListWidgetItem* item = names_->currentItem();
        if (!item)
            return;
        nameBox_->setText(roster::namePart(item->text()));
        if (storeTick(names_, slot::kTitlerEnabledBlock, names_->currentRow()))
            followTitlerOnScreen();
        if (nameBox_->isVisible()) {
            nameBox_->setFocus();
            nameBox_->end(false);
        }
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void Roster::lstTitlerVersion_Click()
{
    if (z_.EventsSuppressed)
        return;
    try {
        if (versions_->currentRow() < 0)
            return;
        storeTick(versions_, slot::kTitlerVersionBlock, versions_->currentRow());
        followTitlerOnScreen();
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void Roster::setRowText(int row, const QString& text)
{
    for (QListWidget* list : {names_, versions_})
        if (QListWidgetItem* item = list->item(row))
            item->setText(text);
    z_.table.setText(slot::titler(slot::kTitlerNameBlock, row + 1), text);
}

void Roster::cmdSetTitlerName_Click()
{
    if (z_.EventsSuppressed)
        return;
    try {
        const int row = names_->currentRow();
        if (row < 0)
            return;
        setRowText(row, roster::rowText(row + 1, nameBox_->text()));
        followTitlerOnScreen();
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void Roster::cmdClearTitlerName_Click()
{
    if (z_.EventsSuppressed)
        return;
    try {
        const int row = names_->currentRow();
        if (row < 0)
            return;
        setRowText(row, roster::rowText(row + 1, {}));
        nameBox_->clear();
        followTitlerOnScreen();
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void Roster::cmdClearAllNames_Click()
{
    if (z_.EventsSuppressed)
        return;
    try {
        for (int row = 0; row < roster::kTitlers; ++row)
            setRowText(row, roster::addressText(row + 1));
        nameBox_->clear();
        followTitlerOnScreen();
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void Roster::CmdEnDisableAll_Click()
{
    if (z_.EventsSuppressed)
        return;
    try {
        const bool enable = enDisableAll_->text() == kEnableAll;
        bulk_ = true;
        if (enable)
            names_->selectAll();
        else
            names_->clearSelection();
        bulk_ = false;
        for (int a = 1; a <= roster::kTitlers; ++a)
            z_.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), enable);
        enDisableAll_->setText(enable ? kDisableAll : kEnableAll);
        followTitlerOnScreen();
    } catch (const RunTimeError& e) {
        bulk_ = false;
        z_.RecordError(e.number, e.source);
    }
}

void Roster::chkEnabledExample_Click()
{
    if (z_.EventsSuppressed)
        return;
    enabledExample_->setChecked(true);
}

void Roster::chkVerExample_Click()
{
    if (z_.EventsSuppressed)
        return;
    verExample_->setChecked(true);
}

void Roster::followTitlerOnScreen()
{
    // The address box's change handling sets these two only while an editor tab is up, so from the roster's own
    // tab they are set here, for the address the box shows. Broadcast "00" keeps its warning.
    const QString address = z_.ui.txtAddress ? z_.ui.txtAddress->text() : z_.table.text(z_.pageSlot(slot::kAddress));
    bool isNumber = false;
    const int a = address.toInt(&isNumber);
    if (!isNumber || address.size() != 2 || a < 1 || a > roster::kTitlers)
        return;
    if (z_.ui.lblTitlerName) {
        const QListWidgetItem* row = names_->item(a - 1);
        z_.ui.lblTitlerName->setText(row && row->isSelected() ? roster::namePart(row->text()) : QString());
    }
    if (z_.protocol) {
        QString none, noParam;
        z_.OldFirmwareTitler = z_.protocol->FirmwareFilter(address, none, noParam);
        if (z_.status)
            z_.status->setVerStatus(z_.OldFirmwareTitler ? QStringLiteral("Below 3.30")
                                                         : QStringLiteral("3.30 and Above"));
    }
}
