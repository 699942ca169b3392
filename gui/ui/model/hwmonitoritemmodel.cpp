#include "ui/model/hwmonitoritemmodel.h"

#include "devices/controller.h"
#include "devices/enclosure.h"
#include "devices/images.h"
#include "ui/model/itemmodel.h"

#include <algorithm>

namespace {

const QString kControllerIcon = QStringLiteral(":/images/icons/hwmon/controller.png");
const QString kEnclosureIcon = QStringLiteral(":/images/icons/devices/enclosure.jpg");
const QString kTemperatureIcon = QStringLiteral(":/images/icons/hwmon/temperature.png");
const QString kFanIcon = QStringLiteral(":/images/icons/hwmon/fan.png");
const QString kVoltageIcon = QStringLiteral(":/images/icons/hwmon/voltage.png");
const QString kPowerIcon = QStringLiteral(":/images/icons/hwmon/power.png");
const QString kErrorIcon = QStringLiteral(":/images/icons/event/error.png");
const QString kWarningIcon = QStringLiteral(":/images/icons/event/warning.png");

// Flag bits of a sensor entry.
constexpr uint32_t kStatusBit = 0x2;
constexpr uint32_t kVoltageFailure = 0x100 | 0x200;
constexpr uint32_t kTemperatureFailure = 0x8000000;
constexpr uint32_t kFanFailure = 0x40000000;

QString degrees(int value)
{
    return QString::number(value) + QStringLiteral(" °C");
}

// The text and icon of a battery charge code.
void charge(uint32_t code, QString* text, QString* icon)
{
    if (code == zynsensor::kBatteryFailed) {
        *text = QZynHwMonitorItemModel::tr("FAILED");
        *icon = kErrorIcon;
        return;
    }
    if (code == zynsensor::kBatteryNotInstalled) {
        *text = QZynHwMonitorItemModel::tr("Not Installed");
        *icon = kWarningIcon;
        return;
    }
    *text = QString::asprintf("%d %%", int(code));
    if (code >= 90)
        *icon = QStringLiteral(":/images/icons/hwmon/Status-battery-100-icon.png");
    else if (code >= 70)
        *icon = QStringLiteral(":/images/icons/hwmon/Status-battery-080-icon.png");
    else if (code >= 50)
        *icon = QStringLiteral(":/images/icons/hwmon/Status-battery-060-icon.png");
    else if (code >= 30)
        *icon = QStringLiteral(":/images/icons/hwmon/Status-battery-040-icon.png");
    else if (code >= 10)
        *icon = QStringLiteral(":/images/icons/hwmon/Status-battery-caution-icon.png");
    else
        *icon = kWarningIcon;
}

int entries(const _HWMON_INFO& record)
{
    return std::min<int>(record.count, _HWMON_INFO::kMaxValues);
}

} // namespace

QZynHwMonitorItemModel::QZynHwMonitorItemModel(QZynController* controller, QObject* parent)
    : QStandardItemModel(parent)
    , m_controller(controller)
{
    PalvirInitImages();
    connect(m_controller, &QZynController::DeviceChanged, this, &QZynHwMonitorItemModel::DeviceItemChanged);
    UpdateHeader();
    SetupData();
}

QZynHwMonitorItemModel::~QZynHwMonitorItemModel()
{
    disconnect(m_controller, &QZynController::DeviceChanged, this, &QZynHwMonitorItemModel::DeviceItemChanged);
}

void QZynHwMonitorItemModel::UpdateHeader()
{
    setHorizontalHeaderLabels({tr("Sensor"), tr("Value")});
}

void QZynHwMonitorItemModel::SetupData()
{
    if (m_controller->IsEnclosureFamily())
        SetupSASHwMonitor();
    else
        SetupSATAHwMonitor();
}

QList<QStandardItem*> QZynHwMonitorItemModel::PrepareRow() const
{
    return zynmodel::NewRow(2);
}

QStandardItem* QZynHwMonitorItemModel::FindItem(const QString& text, QStandardItem* parent)
{
    QStandardItem* under = parent != nullptr ? parent : invisibleRootItem();
    if (under->rowCount() > 0) {
        const QModelIndexList hits = match(indexFromItem(under->child(0, 0)), Qt::DisplayRole, text, 1,
                                           Qt::MatchExactly | Qt::MatchRecursive);
        if (!hits.isEmpty())
            return itemFromIndex(hits.first());
    }
    const QList<QStandardItem*> row = PrepareRow();
    row[0]->setText(text);
    for (QStandardItem* item : row)
        item->setEditable(false);
    under->appendRow(row);
    return row[0];
}

void QZynHwMonitorItemModel::SetText(int row, int column, const QString& text, QStandardItem* parent)
{
    QStandardItem* under = parent != nullptr ? parent : invisibleRootItem();
    if (QStandardItem* item = under->child(row, column))
        item->setText(text);
}

void QZynHwMonitorItemModel::SetIcon(int row, int column, const QString& icon, QStandardItem* parent)
{
    QStandardItem* under = parent != nullptr ? parent : invisibleRootItem();
    if (QStandardItem* item = under->child(row, column))
        zynmodel::SetIcon(item, icon);
}

QStandardItem* QZynHwMonitorItemModel::group(const QString& label, const QString& icon)
{
    QStandardItem* item = FindItem(label, nullptr);
    QStandardItem* parent = item->parent();
    SetIcon(item->row(), 0, icon, parent);
    SetText(item->row(), 1, tr(""), parent);
    return item;
}

void QZynHwMonitorItemModel::sensorRow(QStandardItem* groupItem, const QString& label, const QString& icon,
                                       const QString* value, bool textFirst)
{
    QStandardItem* item = FindItem(label, groupItem);
    QStandardItem* parent = item->parent();
    if (textFirst && value != nullptr)
        SetText(item->row(), 1, *value, parent);
    SetIcon(item->row(), 0, icon, parent);
    if (!textFirst && value != nullptr)
        SetText(item->row(), 1, *value, parent);
}

void QZynHwMonitorItemModel::sensorSection(QStandardItem* groupItem, const sSENSORS& block, int section)
{
    const sSENSORS::Section& s = block.sections[section];
    const int count = std::min<int>(s.count, sSENSORS::kMaxEntries);
    for (int i = 0; i < count; ++i) {
        const QString label = QString::fromUtf8(s.name(i).c_str());
        const uint32_t v = s.value(i);
        const uint32_t f = s.flag(i);
        const bool status = (f & kStatusBit) != 0;
        QString text;
        switch (section) {
        case sSENSORS::kTemperatureSection:
            text = degrees(int(v));
            sensorRow(groupItem, label, !status ? kTemperatureIcon : (f & kTemperatureFailure) ? kErrorIcon : QString(), &text);
            break;
        case sSENSORS::kFanSection:
            text = QString::asprintf("%d RPM", int(v));
            sensorRow(groupItem, label, !status ? kFanIcon : (f & kFanFailure) ? kErrorIcon : QString(), &text);
            break;
        case sSENSORS::kVoltageSection:
            text = QString::number(v / 1000.0, 'f', 3) + QStringLiteral(" V");
            sensorRow(groupItem, label, !status ? kVoltageIcon : (f & kVoltageFailure) ? kErrorIcon : QString(), &text);
            break;
        case sSENSORS::kPowerSection: {
            // A supply whose status is set without the failure bit keeps the text it had.
            const bool failed = status && (f & kFanFailure);
            text = !status ? tr("OK") : tr("FAILED");
            sensorRow(groupItem, label, !status ? kPowerIcon : failed ? kErrorIcon : QString(),
                      !status || failed ? &text : nullptr, true);
            break;
        }
        case sSENSORS::kBatterySection: {
            QString icon;
            charge(v, &text, &icon);
            sensorRow(groupItem, label, icon, &text);
            break;
        }
        default:
            break;
        }
    }
}

QString QZynHwMonitorItemModel::enclosureLabel(const QZynEnclosure* enclosure) const
{
    return tr("Enclosure#%1 : %2")
        .arg(QString::number(enclosure->GetIndex() + 1),
             zynmodel::ViewText(enclosure->GetVendorName() + enclosure->GetName()));
}

void QZynHwMonitorItemModel::SetupSASHwMonitor()
{
    QStandardItem* controllerGroup = group(tr("Controller H/W Monitor"), kControllerIcon);
    const std::unique_ptr<sSENSORS> own = std::make_unique<sSENSORS>(m_controller->GetEnclosureHwMonitor());
    for (int section : {sSENSORS::kTemperatureSection, sSENSORS::kFanSection, sSENSORS::kVoltageSection,
                        sSENSORS::kBatterySection})
        sensorSection(controllerGroup, *own, section);

    std::vector<int> enclosures;
    m_controller->GetEnclosureCount(enclosures);
    for (int number : enclosures) {
        const QZynEnclosure* enclosure = m_controller->GetEnclosure(number);
        if (enclosure == nullptr)
            continue;
        QStandardItem* enclosureGroup = group(enclosureLabel(enclosure), kEnclosureIcon);
        const std::unique_ptr<sSENSORS> block = std::make_unique<sSENSORS>(enclosure->GetSensors());
        for (int section : {sSENSORS::kVoltageSection, sSENSORS::kFanSection, sSENSORS::kPowerSection,
                            sSENSORS::kTemperatureSection})
            sensorSection(enclosureGroup, *block, section);
    }
}

void QZynHwMonitorItemModel::SetupSATAHwMonitor()
{
    QStandardItem* g = group(tr("Controller H/W Monitor"), kControllerIcon);
    const _HWMON_INFO voltages = m_controller->GetHwMonitor(QZynController::HwRecordVoltages);
    const _HWMON_INFO fans = m_controller->GetHwMonitor(QZynController::HwRecordFans);
    const _HWMON_INFO temperatures = m_controller->GetHwMonitor(QZynController::HwRecordTemperatures);
    const _HWMON_INFO battery = m_controller->GetHwMonitor(QZynController::HwRecordBattery);

    auto fanRows = [&] {
        for (int i = 0; i < entries(fans); ++i) {
            const int rpm = fans.values[i];
            const QString text =
                rpm == zynsensor::kFanNotReported ? tr("N.A.") : QString::asprintf("%d RPM", rpm);
            sensorRow(g, tr("Fan#%1 Speed").arg(i + 1), rpm == 0 ? kErrorIcon : kFanIcon, &text);
        }
    };
    auto diskRow = [&](int number, int celsius) {
        const QString text = celsius == 0 ? QStringLiteral("--") : degrees(celsius);
        // The number left-aligned in two places.
        sensorRow(g, tr("HDD#%1 Temp.").arg(number, -2), kTemperatureIcon, &text);
    };

    if (m_controller->GetSysInfo()->GetRecord().compactBoard()) {
        fanRows();
        for (int i = 0; i < entries(battery); ++i) {
            QString text, icon;
            charge(battery.values[i], &text, &icon);
            sensorRow(g, tr("Battery Status"), icon, &text);
        }
        for (int i = 0; i < entries(temperatures); ++i)
            diskRow(i + 1, int(temperatures.values[i]));
        return;
    }
    for (int j = 0; j < entries(voltages); j += 2) {
        const double nominal = voltages.values[j] / 1000.0;
        const double measured = j + 1 < _HWMON_INFO::kMaxValues ? voltages.values[j + 1] / 1000.0 : 0.0;
        const QString text = QString::asprintf("%2.3lf V", measured);
        const bool outOfRange = measured > nominal * 1.1 || nominal * 0.9 > measured;
        sensorRow(g, tr("Power +%1V").arg(QString::asprintf("%-5.2lf", nominal)), outOfRange ? kErrorIcon : kVoltageIcon,
                  &text);
    }
    fanRows();
    for (int k = 0; k < entries(temperatures); ++k) {
        if (k == 0) {
            const QString text = degrees(int(temperatures.values[0]));
            sensorRow(g, tr("Controller Temp"), kTemperatureIcon, &text);
        } else {
            diskRow(k, int(temperatures.values[k]));
        }
    }
}

void QZynHwMonitorItemModel::RemoveItem(QZynEnclosure* enclosure)
{
    if (enclosure == nullptr || rowCount() == 0)
        return;
    const QModelIndexList hits = match(index(0, 0), Qt::DisplayRole, enclosureLabel(enclosure), 1,
                                       Qt::MatchExactly | Qt::MatchRecursive);
    if (hits.isEmpty())
        return;
    zynmodel::RemoveRowOf(this, itemFromIndex(hits.first()));
}

void QZynHwMonitorItemModel::DeviceItemChanged(QZynDevice* device, int code)
{
    if (device == nullptr)
        return;
    if (code == QZynDevice::HwMonitorRefreshed)
        SetupData();
    else if (code == QZynDevice::DeviceRemoved && device->type == QZynDevice::Enclosure)
        RemoveItem(static_cast<QZynEnclosure*>(device));
}
