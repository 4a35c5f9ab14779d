#include "StatusLine.h"

#include "app/Zelk.h"
#include "link/CommandProtocol.h"
#include "link/LinkWatch.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

QLabel* panel(QWidget* parent, const char* name)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setAutoFillBackground(true);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumHeight(22);
    QPalette pal = l->palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, QColor(0, 255, 0));
    l->setPalette(pal);
    return l;
}

QLabel* heading(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(Qt::AlignCenter);
    return l;
}

QColor colourOf(PanelColour c)
{
    switch (c) {
    case PanelColour::Red:
        return QColor(255, 0, 0);
    case PanelColour::Yellow:
        return QColor(255, 255, 0);
    default:
        return QColor(0, 255, 0);
    }
}

} // namespace

StatusLine::StatusLine(Zelk& z, QWidget* parent) : z_(z), widget_(new QWidget(parent))
{
    z_.status = this;
    widget_->setObjectName(QStringLiteral("statusLine"));
    auto* grid = new QGridLayout(widget_);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setVerticalSpacing(1);
    grid->addWidget(heading(widget_, "lblMainStatus1", QStringLiteral("PXT Status")), 0, 0);
    grid->addWidget(heading(widget_, "lblMainStatu2", QStringLiteral("Comm. Info")), 0, 1);
    grid->addWidget(heading(widget_, "lbMainStatus3", QStringLiteral("Prog Info.")), 0, 2);
    grid->addWidget(heading(widget_, "lblMainStatus3", QStringLiteral("PXT Version")), 0, 3);
    for (int i = 1; i <= 3; ++i) {
        const QByteArray name = "lblProgStatus(" + QByteArray::number(i) + ")";
        z_.ui.lblProgStatus[std::size_t(i)] = panel(widget_, name.constData());
        grid->addWidget(z_.ui.lblProgStatus[std::size_t(i)], 1, i - 1);
    }
    z_.ui.lblVerStatus = panel(widget_, "lblVerStatus");
    grid->addWidget(z_.ui.lblVerStatus, 1, 3);
    for (int c = 0; c < 4; ++c)
        grid->setColumnStretch(c, c == 3 ? 2 : 3);
}

void StatusLine::showPortUnavailable()
{
    const bool frozen = z_.TransmissionActive;
    z_.TransmissionActive = false;
    show(8, true);
    z_.TransmissionActive = frozen;
}

void StatusLine::showDone(int code, const LinkWatch& link)
{
    if (link.lost())
        showPortUnavailable();
    else
        ShowStatus(code);
}

void StatusLine::ShowStatus(int code)
{
    show(code, false);
}

void StatusLine::show(int code, bool portUnavailable)
{
    if (z_.EventsSuppressed || z_.TransmissionActive)
        return;
    StatusInputs in;
    in.workOffline = z_.ui.optWorkOffline && z_.ui.optWorkOffline->isChecked();
    in.clockTimerEnabled = z_.ui.tmrTime && z_.ui.tmrTime->isActive();
    in.screenTitlerEnabled =
        !z_.protocol || !z_.ui.txtAddress || z_.protocol->IsTitlerEnabled(z_.ui.txtAddress->text());
    in.linkOnline = z_.LinkOnline;
    in.commPortNumber = z_.CommPortNumber;
    in.portUnavailable = portUnavailable;
    panels_.lastStatus = z_.LastStatus;
    const StatusEffects fx = applyStatusCode(panels_, code, in);
    z_.LastStatus = panels_.lastStatus;
    paint(panels_);
    if (fx.enableSendButtons) {
        for (QWidget* w : std::initializer_list<QWidget*>{
                 z_.ui.cmdSend, z_.ui.cmdCloneSettingsSend, z_.ui.cmdSendSettings, z_.ui.cmdSendAllSettings,
                 z_.ui.cmdStart, z_.ui.cmdClearPxt, z_.ui.optSendContinuous, z_.ui.optSendEOL, z_.ui.optSendManual})
            if (w)
                w->setEnabled(true);
    }
    if (fx.enableClockTimer && z_.ui.tmrTime && !z_.ui.tmrTime->isActive())
        z_.ui.tmrTime->start();
    yieldToEvents(z_);
}

void StatusLine::paint(const StatusPanels& p)
{
    for (int i = 1; i <= 3; ++i) {
        QLabel* l = z_.ui.lblProgStatus[std::size_t(i)];
        QPalette pal = l->palette();
        pal.setColor(QPalette::Window, Qt::black);
        if (p.colour[i] != PanelColour::Unchanged)
            pal.setColor(QPalette::WindowText, colourOf(p.colour[i]));
        l->setPalette(pal);
        l->setText(p.text[i]);
    }
    if (p.text[3] != note_)
        note_.clear();
    z_.ui.lblProgStatus[3]->setToolTip(note_.isEmpty() ? QString() : noteDetail_);
    QPalette pal = z_.ui.lblVerStatus->palette();
    pal.setColor(QPalette::Window, Qt::black);
    z_.ui.lblVerStatus->setPalette(pal);
}

void StatusLine::setVerStatus(const QString& caption)
{
    if (z_.ui.lblVerStatus->text() == caption)
        return;
    z_.ui.lblVerStatus->setText(caption);
    lblVerStatus_Change();
}

void StatusLine::lblVerStatus_Change()
{
    if (z_.EventsSuppressed || !z_.ui.optVSize2s)
        return;
    if (z_.ui.lblVerStatus->text() != QLatin1String("3.30 and Above")) {
        if (z_.ui.optVSize2s->isChecked() && z_.ui.optVSize1s)
            z_.ui.optVSize1s->setChecked(true);
        z_.ui.optVSize2s->setEnabled(false);
    } else {
        z_.ui.optVSize2s->setEnabled(true);
    }
}

void StatusLine::showNote(const QString& text, const QString& detail)
{
    if (z_.EventsSuppressed || z_.TransmissionActive)
        return;
    panels_.text[3] = text;
    note_ = text;
    noteDetail_ = detail;
    paint(panels_);
}
