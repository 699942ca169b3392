// The setup image: its layouts, its sample contents and the 0x1F operations on it.
#include "setupimage.h"

#include "setuptable.h"

#include <algorithm>
#include <cstring>

namespace zynsim {

namespace setup {

namespace {

constexpr size_t kImageSizes[kLayouts] = {1024, 4096, 21936, 86832};
constexpr size_t kBitmapSize = 16;
constexpr uint8_t kStatusEndOfImage = 'T';

} // namespace

size_t imageSize(int layout)
{
    return layout >= 0 && layout < kLayouts ? kImageSizes[layout] : 0;
}

int layoutOf(const ControllerConfig& config)
{
    if (config.setupLayout >= 0 && config.setupLayout < kLayouts)
        return config.setupLayout;
    switch (config.profile) {
    case Profile::Enclosure: return 3;
    case Profile::Jbod:
    case Profile::Jbod6G: return 1;
    case Profile::Older:
    case Profile::E100: return 0;
    }
    return 0;
}

int volumeNumbersOf(int layout)
{
    switch (layout) {
    case 1: return 16;
    case 2:
    case 3: return 128;
    default: return 0;
    }
}

uint8_t boardTypeOf(int layout)
{
    return layout >= 1 && layout < kLayouts ? 8 : 0;
}

bool hasPrefix(const Bytes& payload)
{
    return payload.size() > kOperationAt && payload[0] == kSubCommand
        && std::equal(std::begin(kAccessPrefix), std::end(kAccessPrefix), payload.begin() + 1);
}

} // namespace setup

namespace {

using Reply = DeviceModel::Reply;

uint32_t le32(const Bytes& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

} // namespace

SetupImage::SetupImage(int layout, const std::string& password, const std::string& unitSerial,
                       const std::string& systemName)
    : m_layout(layout >= 0 && layout < setup::kLayouts ? layout : 0)
    , m_image(setup::imageSize(m_layout))
{
    for (size_t i = 0; i < m_image.size(); ++i)
        m_image[i] = uint8_t((i * 37 + 11) & 0xFF);
    auto put = [this](uint32_t id, const Bytes& value) { putField(id, value); };
    auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
    using namespace setup;
    put(kIpAddress, {192, 168, 1, 100});
    put(kSubnetMask, {255, 255, 255, 0});
    put(kGateway, {192, 168, 1, 1});
    put(kDhcp, {0});
    put(kHttpPort, {80, 0});
    put(kTelnetPort, {23, 0});
    put(kSmtpPort, {25, 0});
    put(kMaxCommandLength, {0x81});
    put(kPowerSupplies, {1});
    putPassword(password);
    put(kUnitSerial, text(unitSerial.substr(0, 16)));
    // The agent's community stays empty: it answers to the default one.
    put(kSnmpCommunity, {});
    put(kSnmpContact, text("Storage administrator"));
    put(kSnmpLocation, text("Machine room"));
    put(kSnmpName, text(systemName));
    // Fibre channel models: four ports (speed, topology, loop id), no host names, no filters.
    put(kFibrePorts, {2, 1, 0x03, 0, 2, 1, 0x04, 0, 2, 1, 0x05, 0, 2, 1, 0x06, 0});
    put(kFibreHostNames, {});
    put(kFibreHostFilters, {});
}

bool SetupImage::hasField(uint32_t id) const
{
    const CFieldInfo* field = gettablefieldinfo(uint8_t(m_layout), id);
    return field && field->exists() && uint64_t(field->offset + field->length) <= m_image.size();
}

bool SetupImage::putField(uint32_t id, const Bytes& value)
{
    if (!hasField(id))
        return false;
    const CFieldInfo* field = gettablefieldinfo(uint8_t(m_layout), id);
    const auto at = m_image.begin() + std::ptrdiff_t(field->offset);
    std::fill(at, at + std::ptrdiff_t(field->length), uint8_t(0));
    std::copy_n(value.begin(), std::min(value.size(), size_t(field->length)), at);
    return true;
}

std::string SetupImage::fieldText(uint32_t id) const
{
    if (!hasField(id))
        return {};
    const CFieldInfo* field = gettablefieldinfo(uint8_t(m_layout), id);
    const auto from = m_image.begin() + std::ptrdiff_t(field->offset);
    const auto to = from + std::ptrdiff_t(field->length);
    return std::string(from, std::find(from, to, uint8_t(0)));
}

void SetupImage::putPassword(const std::string& password)
{
    const std::string secret = password.substr(0, 15);
    putField(setup::kPasswordLength, {uint8_t(secret.size())});
    putField(setup::kPassword, Bytes(secret.begin(), secret.end()));
}

bool SetupImage::replace(const Bytes& image)
{
    if (image.size() != m_image.size())
        return false;
    m_image = image;
    return true;
}

Reply SetupImage::handle(const Bytes& payload, const DeviceModel& model)
{
    if (!setup::hasPrefix(payload))
        return Reply::status('G');
    switch (payload[setup::kOperationAt]) {
    case setup::OpReadPage:
        return readPage(payload);
    case setup::OpWriteLong:
        return writeLong(payload);
    case setup::OpWriteShort:
        return writeShort(payload);
    case setup::OpRaidSetBitmap:
    case setup::OpOtherVolumeBitmap:
    case setup::OpVolumeBitmap:
        break;
    default:
        return Reply::status('H');
    }
    // The bitmaps: {op, 0}.
    if (payload.size() < 11 || payload[10] != 0)
        return Reply::status('G');
    Bytes bitmap;
    if (payload[setup::kOperationAt] == setup::OpRaidSetBitmap)
        bitmap = model.raidSetBitmap();
    else
        bitmap = model.volumeBitmap(payload[setup::kOperationAt] == setup::OpVolumeBitmap);
    bitmap.resize(std::max(bitmap.size(), setup::kBitmapSize), 0);
    return Reply::of(std::move(bitmap));
}

// {0x40, 0, page}: 512 bytes, zero past the image end; 'T' for a page at or past the end.
Reply SetupImage::readPage(const Bytes& payload) const
{
    if (payload.size() < 12 || payload[10] != 0)
        return Reply::status('G');
    const size_t start = size_t(payload[11]) * setup::kPageSize;
    if (start >= m_image.size())
        return Reply::status(setup::kStatusEndOfImage);
    Bytes page(setup::kPageSize, 0);
    const size_t take = std::min(setup::kPageSize, m_image.size() - start);
    std::copy_n(m_image.begin() + std::ptrdiff_t(start), take, page.begin());
    return Reply::of(std::move(page));
}

// {0x42, 1, u32 offset, length low, length high, data}: 1-512 bytes.
Reply SetupImage::writeLong(const Bytes& payload)
{
    if (m_refuseLongWrites)
        return Reply::status('H');
    constexpr size_t kDataAt = 17;
    if (payload.size() < kDataAt || payload[10] != 1)
        return Reply::status('G');
    const uint32_t offset = le32(payload, 11);
    const size_t length = size_t(payload[15]) | size_t(payload[16]) << 8;
    if (length == 0 || length > setup::kPageSize || payload.size() - kDataAt < length)
        return Reply::status('G');
    return write(offset, payload.data() + kDataAt, length) ? Reply::status('A') : Reply::status('G');
}

// {0x41, 1, u16 offset, length modulo 256 (0: 512), data}.
Reply SetupImage::writeShort(const Bytes& payload)
{
    constexpr size_t kDataAt = 14;
    if (payload.size() < kDataAt || payload[10] != 1)
        return Reply::status('G');
    const uint32_t offset = uint32_t(payload[11]) | uint32_t(payload[12]) << 8;
    const size_t length = payload[13] == 0 ? setup::kPageSize : payload[13];
    if (payload.size() - kDataAt < length)
        return Reply::status('G');
    return write(offset, payload.data() + kDataAt, length) ? Reply::status('A') : Reply::status('G');
}

bool SetupImage::write(uint64_t offset, const uint8_t* data, size_t length)
{
    if (offset > m_image.size() || length > m_image.size() - offset)
        return false;
    std::memcpy(m_image.data() + offset, data, length);
    return true;
}

} // namespace zynsim
