// What the dialog tests share: the boxes a responder saw as one line each, a click answered by
// a responder, the disks a device list offers and ticking one of them, the title bar check, and
// pictures of dialogs when PALVIR_SHOT_DIR is set.
#pragma once

#include "modalresponder.h"
#include "devices/disk.h"
#include "ui/model/itemmodel.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QWidget>
#include <QtTest>

#include <initializer_list>

namespace dialogtest {

using viewtest::ModalResponder;

// The boxes a responder saw, one line each: icon, title, text, buttons, default button.
inline QStringList transcript(const ModalResponder& responder)
{
    QStringList out;
    for (const ModalResponder::Seen& s : responder.seen())
        out << QStringLiteral("%1|%2|%3|%4|%5").arg(s.icon).arg(s.title, s.text,
                                                       s.buttons.join(QLatin1Char(',')), s.defaultButton);
    return out;
}

// Clicks `button` while a responder presses `answers` in turn, and gives the boxes it saw.
inline QStringList answered(QAbstractButton* button, std::initializer_list<QMessageBox::StandardButton> answers)
{
    ModalResponder responder;
    for (QMessageBox::StandardButton a : answers)
        responder.press(a);
    button->click();
    return transcript(responder);
}

// One line of a transcript.
inline QString box(int icon, const QString& title, const QString& text, const QString& buttons,
                   const QString& dflt = QString())
{
    return QStringLiteral("%1|%2|%3|%4|%5").arg(icon).arg(title, text, buttons, dflt);
}
const QString kYesNo = QStringLiteral("&Yes,&No");
const QString kYes = QStringLiteral("&Yes");
const QString kOk = QStringLiteral("OK");

// The disks a proxy offers, "E:S" each, enclosure rows by their disks; none without a proxy.
inline QStringList offered(const QAbstractItemModel* proxy, const QModelIndex& parent = QModelIndex())
{
    QStringList out;
    if (proxy == nullptr)
        return out;
    for (int r = 0; r < proxy->rowCount(parent); ++r) {
        const QModelIndex i = proxy->index(r, 0, parent);
        auto* device = i.data(zynmodel::DeviceItemRole).value<QZynDevice*>();
        if (device != nullptr && device->type == QZynDevice::Disk) {
            const QZynDiskIndex& d = static_cast<QZynDisk*>(device)->GetIndex();
            out << QStringLiteral("%1:%2").arg(d.enclosure).arg(d.slot);
        }
        out << offered(proxy, i);
    }
    return out;
}

// Ticks the offered disk E:S.
inline bool tick(QAbstractItemModel* proxy, const QString& disk, const QModelIndex& parent = QModelIndex())
{
    for (int r = 0; r < proxy->rowCount(parent); ++r) {
        const QModelIndex i = proxy->index(r, 0, parent);
        auto* device = i.data(zynmodel::DeviceItemRole).value<QZynDevice*>();
        if (device != nullptr && device->type == QZynDevice::Disk) {
            const QZynDiskIndex& d = static_cast<QZynDisk*>(device)->GetIndex();
            if (QStringLiteral("%1:%2").arg(d.enclosure).arg(d.slot) == disk)
                return proxy->setData(i, Qt::Checked, Qt::CheckStateRole);
        }
        if (tick(proxy, disk, i))
            return true;
    }
    return false;
}

// With PALVIR_SHOT_DIR set, a picture of `dialog` and a line of its title and size, both named
// `name`; the dialog is left shown or hidden as it was.
inline void shootDialog(QWidget* dialog, const QString& name)
{
    const QString folder = qEnvironmentVariable("PALVIR_SHOT_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    const bool shown = dialog->isVisible();
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog))
        return;
    dialog->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    QFile text(folder + QLatin1Char('/') + name + QStringLiteral(".txt"));
    if (text.open(QIODevice::WriteOnly))
        text.write(QStringLiteral("%1 (%2x%3)\n").arg(dialog->windowTitle()).arg(dialog->width()).arg(dialog->height()).toUtf8());
    if (!shown)
        dialog->hide();
}

// A dialog whose title bar offers only the close button.
inline bool closeButtonOnly(const QWidget* w)
{
    const Qt::WindowFlags f = w->windowFlags();
    return (f & Qt::WindowType_Mask) == Qt::Dialog && (f & Qt::WindowCloseButtonHint)
        && !(f & (Qt::WindowContextHelpButtonHint | Qt::WindowMinMaxButtonsHint));
}

} // namespace dialogtest
