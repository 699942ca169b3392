// The device model's configuration text (format: the top of simulator.h). Every number and
// length is checked before it reaches the model; the first bad line stops the load.
#include "devicemodel.h"
#include "setupimage.h"

#include <charconv>

namespace zynsim {

namespace {

constexpr size_t kMaxText = 1 << 20;
constexpr size_t kMaxLine = 4096;
constexpr size_t kMaxWords = 512;

struct Token {
    std::string text;
    bool quoted = false;
};

bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

bool tokenize(const std::string& line, std::vector<Token>* out, std::string* why)
{
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (blank(c)) {
            ++i;
            continue;
        }
        if (c == '#')
            break;
        Token token;
        if (c == '"') {
            token.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char ch = line[i++];
                if (ch == '"') {
                    closed = true;
                    break;
                }
                if (ch == '\\') {
                    if (i >= line.size())
                        break;
                    ch = line[i++];
                    if (ch != '"' && ch != '\\') {
                        *why = "unknown escape \\" + std::string(1, ch);
                        return false;
                    }
                }
                if (static_cast<unsigned char>(ch) < 0x20) {
                    *why = "control character in text";
                    return false;
                }
                token.text += ch;
            }
            if (!closed) {
                *why = "text without its closing quote";
                return false;
            }
            if (i < line.size() && !blank(line[i])) {
                *why = "a blank must follow a closing quote";
                return false;
            }
        } else {
            while (i < line.size() && !blank(line[i])) {
                if (line[i] == '"') {
                    *why = "a quote inside a word";
                    return false;
                }
                token.text += line[i++];
            }
        }
        if (out->size() >= kMaxWords) {
            *why = "more than 512 words";
            return false;
        }
        out->push_back(std::move(token));
    }
    return true;
}

// A whole decimal or 0x-hex integer in [min, max].
bool parseInteger(const std::string& text, int64_t min, int64_t max, int64_t* out)
{
    const char* p = text.data();
    const char* end = p + text.size();
    bool negative = false;
    if (p < end && *p == '-') {
        negative = true;
        ++p;
    }
    int base = 10;
    if (end - p > 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    }
    if (p == end || *p == '+' || *p == '-')
        return false;
    uint64_t magnitude = 0;
    const auto result = std::from_chars(p, end, magnitude, base);
    if (result.ec != std::errc() || result.ptr != end || magnitude > (uint64_t(1) << 62))
        return false;
    const int64_t value = negative ? -int64_t(magnitude) : int64_t(magnitude);
    if (value < min || value > max)
        return false;
    *out = value;
    return true;
}

class Cursor {
public:
    explicit Cursor(const std::vector<Token>& tokens) : m_tokens(tokens) {}

    bool atEnd() const { return m_at >= m_tokens.size(); }
    bool peekWord(const char* word) const
    {
        return !atEnd() && !m_tokens[m_at].quoted && m_tokens[m_at].text == word;
    }
    // An unquoted integer next, followed by something that is not a keyword in `keywords`.
    bool peekNumberBefore(std::initializer_list<const char*> keywords) const
    {
        if (atEnd() || m_tokens[m_at].quoted || m_at + 1 >= m_tokens.size())
            return false;
        int64_t ignored = 0;
        if (!parseInteger(m_tokens[m_at].text, 0, 255, &ignored))
            return false;
        const Token& after = m_tokens[m_at + 1];
        for (const char* k : keywords)
            if (!after.quoted && after.text == k)
                return false;
        return true;
    }
    bool word(std::string* out, std::string* why, const char* what)
    {
        if (atEnd() || m_tokens[m_at].quoted) {
            *why = std::string("expected ") + what;
            return false;
        }
        *out = m_tokens[m_at++].text;
        return true;
    }
    bool number(const char* what, int64_t min, int64_t max, int64_t* out, std::string* why)
    {
        if (atEnd()) {
            *why = std::string(what) + ": a number is missing";
            return false;
        }
        const Token& t = m_tokens[m_at++];
        if (t.quoted || !parseInteger(t.text, min, max, out)) {
            *why = std::string(what) + ": '" + t.text + "' is not a number from " + std::to_string(min) + " to "
                 + std::to_string(max);
            return false;
        }
        return true;
    }
    bool text(const char* what, size_t maxLength, std::string* out, std::string* why)
    {
        if (atEnd()) {
            *why = std::string(what) + " is missing";
            return false;
        }
        const Token& t = m_tokens[m_at++];
        if (t.text.size() > maxLength) {
            *why = std::string(what) + " is longer than " + std::to_string(maxLength) + " characters";
            return false;
        }
        *out = t.text;
        return true;
    }
    // E:S, or on the older family also a bare channel S.
    bool address(bool older, std::pair<int, int>* out, std::string* why)
    {
        if (atEnd()) {
            *why = "a disk address (E:S) is missing";
            return false;
        }
        const Token& t = m_tokens[m_at++];
        const size_t colon = t.text.find(':');
        int64_t e = 0;
        int64_t s = 0;
        bool ok = !t.quoted;
        if (ok && colon != std::string::npos)
            ok = parseInteger(t.text.substr(0, colon), 0, 255, &e) && parseInteger(t.text.substr(colon + 1), 0, 255, &s);
        else if (ok)
            ok = older && parseInteger(t.text, 0, 255, &s);
        if (!ok) {
            *why = "'" + t.text + "' is not a disk address (E:S" + std::string(older ? " or a channel" : "") + ")";
            return false;
        }
        *out = {int(e), int(s)};
        return true;
    }
    // "V" or "V:F" with V in [min, max] and F in [0, fmax].
    bool pair(const char* what, int64_t min, int64_t max, int64_t fmax, int64_t* v, int64_t* f, std::string* why)
    {
        const Token& t = m_tokens[m_at++];
        const size_t colon = t.text.find(':');
        *f = 0;
        bool ok = !t.quoted;
        if (ok && colon != std::string::npos)
            ok = parseInteger(t.text.substr(0, colon), min, max, v) && parseInteger(t.text.substr(colon + 1), 0, fmax, f);
        else if (ok)
            ok = parseInteger(t.text, min, max, v);
        if (!ok) {
            *why = std::string(what) + ": '" + t.text + "' is not a value from " + std::to_string(min) + " to "
                 + std::to_string(max) + (fmax > 0 ? " (optionally :" + std::to_string(fmax) + " at most)" : "");
            return false;
        }
        return true;
    }
    std::string peekText() const { return atEnd() ? std::string() : m_tokens[m_at].text; }
    bool peekSlash() const { return !atEnd() && !m_tokens[m_at].quoted && m_tokens[m_at].text == "/"; }
    void skip() { ++m_at; }

private:
    const std::vector<Token>& m_tokens;
    size_t m_at = 0;
};

} // namespace

class ConfigReader {
public:
    // incremental: the model already has its enclosures; an enclosure line adds the next one.
    ConfigReader(DeviceModel& model, bool incremental) : m(model), m_enclosuresGiven(incremental) {}
    bool line(const std::vector<Token>& tokens, std::string* why);

private:
    using Disk = DeviceModel::Disk;
    using Enclosure = DeviceModel::Enclosure;
    bool controller(Cursor& c, std::string* why);
    bool enclosure(Cursor& c, std::string* why);
    bool disk(Cursor& c, std::string* why);
    bool raidset(Cursor& c, std::string* why);
    bool volume(Cursor& c, std::string* why);
    bool nested(Cursor& c, std::string* why);
    bool hotspare(Cursor& c, std::string* why);
    bool event(Cursor& c, std::string* why);
    bool sensor(Cursor& c, std::string* why);
    bool sensorGroups(Cursor& c, Enclosure* enclosure, std::string* why);
    bool anyDisk() const;
    bool anyVolume() const;
    bool anyRaidSet() const;

    DeviceModel& m;
    bool m_enclosuresGiven;
    unsigned m_diskNumber = 0;
};

bool ConfigReader::anyDisk() const
{
    for (const Enclosure& enclosure : m.m_enclosures)
        for (const Disk& d : enclosure.slots)
            if (d.present)
                return true;
    return false;
}

bool ConfigReader::anyVolume() const
{
    for (const auto& v : m.m_volumes)
        if (v.exists)
            return true;
    return false;
}

bool ConfigReader::anyRaidSet() const
{
    for (const auto& r : m.m_raidSets)
        if (r.exists)
            return true;
    return false;
}

bool ConfigReader::line(const std::vector<Token>& tokens, std::string* why)
{
    Cursor c(tokens);
    std::string directive;
    if (!c.word(&directive, why, "a directive"))
        return false;
    bool ok = false;
    if (directive == "controller") {
        ok = controller(c, why);
    } else if (directive == "enclosure") {
        ok = enclosure(c, why);
    } else if (directive == "disk") {
        ok = disk(c, why);
    } else if (directive == "fail" || directive == "remove" || directive == "passthrough") {
        std::pair<int, int> a;
        if (!c.address(m.older(), &a, why))
            return false;
        if (directive == "fail")
            ok = m.failDisk(a.first, a.second, why);
        else if (directive == "remove")
            ok = m.removeDisk(a.first, a.second, why);
        else
            ok = m.setPassThrough(a.first, a.second, why) >= 0;
    } else if (directive == "raidset") {
        ok = raidset(c, why);
    } else if (directive == "volume") {
        ok = volume(c, why);
    } else if (directive == "nested") {
        ok = nested(c, why);
    } else if (directive == "hotspare") {
        ok = hotspare(c, why);
    } else if (directive == "event") {
        ok = event(c, why);
    } else if (directive == "sensor") {
        ok = sensor(c, why);
    } else {
        *why = "unknown directive '" + directive + "'";
        return false;
    }
    if (ok && !c.atEnd()) {
        *why = "unexpected '" + c.peekText() + "'";
        return false;
    }
    return ok;
}

bool ConfigReader::controller(Cursor& c, std::string* why)
{
    while (!c.atEnd()) {
        std::string key;
        int64_t n = 0;
        if (!c.word(&key, why, "an option"))
            return false;
        if (key == "channels") {
            if (!m.older()) {
                *why = "only the older family has drive channels";
                return false;
            }
            if (!c.number("channels", 1, DeviceModel::kMaxSlots, &n, why))
                return false;
            if (anyDisk()) {
                *why = "channels come before disks";
                return false;
            }
            m.m_channels = int(n);
            m.m_enclosures[0].slots.assign(size_t(n), Disk{});
        } else if (key == "volumes" || key == "raidsets") {
            if (!c.number(key.c_str(), 1, sGUI_RAIDSET::kMaxVolumes, &n, why))
                return false;
            if (anyVolume() || anyRaidSet()) {
                *why = key + " come before raid sets and volume sets";
                return false;
            }
            const int fixed = setup::volumeNumbersOf(m.m_config.setupLayout);
            if (key == "volumes" && fixed != 0 && n != fixed) {
                *why = "setup layout " + std::to_string(m.m_config.setupLayout) + " has " + std::to_string(fixed)
                     + " volume numbers";
                return false;
            }
            if (key == "volumes") {
                m.m_volumeNumbers = int(n);
                m.m_volumes.assign(size_t(n), DeviceModel::Volume{});
            } else {
                m.m_raidSetNumbers = int(n);
                m.m_raidSets.assign(size_t(n), DeviceModel::RaidSet{});
            }
        } else if (key == "ring") {
            if (!c.number("ring", 0, 0xFFFFFFFF, &n, why))
                return false;
            m.setEventRingCapacity(uint32_t(n));
        } else {
            *why = "unknown controller option '" + key + "'";
            return false;
        }
    }
    return true;
}

bool ConfigReader::enclosure(Cursor& c, std::string* why)
{
    if (m.older()) {
        *why = "the older family has no enclosures";
        return false;
    }
    int64_t number = 0;
    if (!c.number("enclosure", 0, DeviceModel::kMaxEnclosures - 1, &number, why))
        return false;
    if (anyDisk()) {
        *why = "enclosures come before disks";
        return false;
    }
    if (!m_enclosuresGiven) {
        m.m_enclosures.clear();
        m_enclosuresGiven = true;
    }
    if (size_t(number) != m.m_enclosures.size()) {
        *why = "enclosures are numbered in order: expected " + std::to_string(m.m_enclosures.size());
        return false;
    }
    Enclosure enclosure;
    enclosure.name = "Enclosure " + std::to_string(number + 1);
    int64_t slots = 8;
    std::array<int, 4> counts{};
    while (!c.atEnd()) {
        std::string key;
        int64_t n = 0;
        if (!c.word(&key, why, "an option"))
            return false;
        if (key == "vendor") {
            if (!c.text("vendor", sGUI_ENC_PROPERTY::kVendorSize, &enclosure.vendor, why))
                return false;
        } else if (key == "name") {
            if (!c.text("name", sGUI_ENC_PROPERTY::kNameSize, &enclosure.name, why))
                return false;
        } else if (key == "revision") {
            if (!c.text("revision", sGUI_ENC_PROPERTY::kRevisionSize, &enclosure.revision, why))
                return false;
        } else if (key == "type") {
            if (!c.number("type", 1, 3, &n, why))
                return false;
            enclosure.type = uint8_t(n);
        } else if (key == "slots") {
            if (!c.number("slots", 0, DeviceModel::kMaxSlots, &slots, why))
                return false;
        } else if (key == "fans" || key == "voltages" || key == "temps" || key == "power") {
            if (!c.number(key.c_str(), 0, DeviceModel::kMaxSensorsPerSection, &n, why))
                return false;
            const size_t k = key == "voltages" ? DeviceModel::kSensorVoltages
                             : key == "fans"   ? DeviceModel::kSensorFans
                             : key == "power"  ? DeviceModel::kSensorPower
                                               : DeviceModel::kSensorTemperatures;
            counts[k] = int(n);
        } else if (key == "battery") {
            if (c.peekWord("none")) {
                c.skip();
                enclosure.battery = -1;
            } else {
                if (!c.number("battery", 0, 255, &n, why))
                    return false;
                if (n > 100 && n != 254 && n != 255) {
                    *why = "battery: 0-100 per cent, 254 failed, 255 absent or none";
                    return false;
                }
                enclosure.battery = int(n);
            }
        } else {
            *why = "unknown enclosure option '" + key + "'";
            return false;
        }
    }
    if (counts[0] + counts[1] + counts[2] + counts[3] > DeviceModel::kMaxSensors) {
        *why = "an enclosure has at most 256 sensors";
        return false;
    }
    enclosure.slots.resize(size_t(slots));
    DeviceModel::fillSensors(enclosure, counts);
    m.m_enclosures.push_back(std::move(enclosure));
    return true;
}

bool ConfigReader::disk(Cursor& c, std::string* why)
{
    int64_t e = 0;
    int64_t s = 0;
    if (!c.number("enclosure", 0, 255, &e, why) || !c.number("slot", 0, 255, &s, why))
        return false;
    ++m_diskNumber;
    char serial[24];
    std::snprintf(serial, sizeof serial, "VDC%03u%02u%03u", m_diskNumber % 1000, unsigned(e), unsigned(s));
    std::string model = "Varnel VD4000S";
    std::string serialText = serial;
    std::string firmware = "VS02";
    int64_t capacity = 7814037168;
    DiskHealth health = DeviceModel::defaultHealth(int(e), int(s));
    while (!c.atEnd()) {
        std::string key;
        if (!c.word(&key, why, "an option"))
            return false;
        bool ok = true;
        int64_t n = 0;
        if (key == "sata") {
            health.sata = true;
        } else if (key == "address") {
            ok = c.number("address", 0, int64_t(1) << 62, &n, why);
            health.address = uint64_t(n);
        } else if (key == "media" || key == "timeouts") {
            ok = c.number(key.c_str(), 0, 0x7FFFFFFF, &n, why);
            (key == "media" ? health.mediaErrors : health.timeouts) = int32_t(n);
        } else if (key == "temp") {
            ok = c.number("temp", 0, 0xFFFF, &n, why);
            health.temperature = uint16_t(n);
        } else if (key == "rpm") {
            ok = c.number("rpm", 0, 0xFFFF, &n, why);
            health.rpm = uint16_t(n);
        } else if (key == "smart") {
            for (auto& attribute : health.smart) {
                int64_t v = 0, t = 0;
                if (c.atEnd()) {
                    *why = "smart: six V:T pairs";
                    return false;
                }
                if (!c.pair("smart", 0, 255, 255, &v, &t, why))
                    return false;
                attribute = {uint8_t(v), uint8_t(t)};
            }
        } else if (key == "counters") {
            for (auto& counter : health.counters) {
                if (!c.number("counters (twenty of them)", 0, int64_t(1) << 62, &n, why))
                    return false;
                counter = uint64_t(n);
            }
        } else if (key == "model")
            ok = c.text("model", sGUI_PHY_DRV::kModelSize, &model, why);
        else if (key == "serial")
            ok = c.text("serial", sGUI_PHY_DRV::kSerialSize, &serialText, why);
        else if (key == "firmware")
            ok = c.text("firmware", sGUI_PHY_DRV::kFirmwareSize, &firmware, why);
        else if (key == "capacity")
            ok = c.number("capacity", 1, int64_t(DeviceModel::kMaxCapacity), &capacity, why);
        else {
            *why = "unknown disk option '" + key + "'";
            return false;
        }
        if (!ok)
            return false;
    }
    return m.addDisk(int(e), int(s), model, serialText, uint64_t(capacity), firmware, why, &health);
}

bool ConfigReader::raidset(Cursor& c, std::string* why)
{
    RaidSetOptions options;
    int64_t n = 0;
    if (c.peekNumberBefore({"disks"})) {
        if (!c.number("raid set number", 0, 127, &n, why))
            return false;
        options.number = int(n);
    }
    std::string name;
    if (!c.text("the raid set name", sGUI_RAIDSET::kNameSize, &name, why))
        return false;
    if (!c.peekWord("disks")) {
        *why = "expected 'disks'";
        return false;
    }
    c.skip();
    std::vector<std::pair<int, int>> disks;
    while (!c.atEnd() && !c.peekWord("sed")) {
        std::pair<int, int> a;
        if (!c.address(m.older(), &a, why))
            return false;
        disks.push_back(a);
    }
    if (c.peekWord("sed")) {
        c.skip();
        options.flags |= sGUI_RAIDSET::kFlagSed;
    }
    return m.createRaidSet(name, disks, options, why) >= 0;
}

bool ConfigReader::volume(Cursor& c, std::string* why)
{
    VolumeOptions options;
    int64_t n = 0;
    if (c.peekNumberBefore({"raidset"})) {
        if (!c.number("volume set number", 0, 127, &n, why))
            return false;
        options.number = int(n);
    }
    std::string name;
    if (!c.text("the volume set name", sGUI_VOLUMESET::kNameSize, &name, why))
        return false;
    int64_t raid = -1, capacity = -1, level = -1, stripe = 128, state = -1, progress = 0;
    while (!c.atEnd()) {
        std::string key;
        if (!c.word(&key, why, "an option"))
            return false;
        bool ok = true;
        if (key == "raidset") ok = c.number("raidset", 0, 127, &raid, why);
        else if (key == "capacity") ok = c.number("capacity", 1, int64_t(DeviceModel::kMaxCapacity), &capacity, why);
        else if (key == "level") ok = c.number("level", 0, 4, &level, why);
        else if (key == "stripe") ok = c.number("stripe", 8, 2048, &stripe, why);
        else if (key == "channel") { ok = c.number("channel", 0, 255, &n, why); options.channel = int(n); }
        else if (key == "id") { ok = c.number("id", 0, 255, &n, why); options.id = int(n); }
        else if (key == "lun") { ok = c.number("lun", 0, 255, &n, why); options.lun = int(n); }
        else if (key == "tagged") { ok = c.number("tagged", 0, 1, &n, why); options.taggedQueuing = uint8_t(n); }
        else if (key == "cache") { ok = c.number("cache", 0, 255, &n, why); options.cacheMode = uint8_t(n); }
        else if (key == "extra") { ok = c.number("extra", 0, 0xFFFFFFFF, &n, why); options.extra = uint32_t(n); }
        else if (key == "flags") { ok = c.number("flags", 0, 0xFFFFFFFF, &n, why); options.flags = uint32_t(n); }
        else if (key == "encryption") { ok = c.number("encryption", 0, 255, &n, why); options.encryptionType = uint8_t(n); }
        else if (key == "keystatus") { ok = c.number("keystatus", 0, 255, &n, why); options.keyStatus = uint8_t(n); }
        else if (key == "serial") ok = c.text("serial", sGUI_VOLUMESET::kSerialSize, &options.serial, why);
        else if (key == "state") ok = c.number("state", 0, 0xFFFFFFFF, &state, why);
        else if (key == "progress") ok = c.number("progress", 0, 1000, &progress, why);
        else {
            *why = "unknown volume option '" + key + "'";
            return false;
        }
        if (!ok)
            return false;
    }
    if (raid < 0 || capacity < 0 || level < 0) {
        *why = "a volume set needs raidset, capacity and level";
        return false;
    }
    const int v = m.createVolumeSet(int(raid), name, uint64_t(capacity), int(level), uint32_t(stripe), options, why);
    if (v < 0)
        return false;
    if (state >= 0 || progress != 0)
        return m.setVolumeState(v, state >= 0 ? uint32_t(state) : 0x1u, uint32_t(progress), why);
    return true;
}

bool ConfigReader::nested(Cursor& c, std::string* why)
{
    int64_t number = -1;
    if (c.peekNumberBefore({"members"}) && !c.number("volume set number", 0, 127, &number, why))
        return false;
    std::string name;
    if (!c.text("the volume set name", sGUI_VOLUMESET::kNameSize, &name, why))
        return false;
    if (!c.peekWord("members")) {
        *why = "expected 'members'";
        return false;
    }
    c.skip();
    std::vector<int> members;
    while (!c.atEnd()) {
        int64_t v = 0;
        if (!c.number("member", 0, 127, &v, why))
            return false;
        members.push_back(int(v));
    }
    return m.createNestedVolume(name, members, int(number), why) >= 0;
}

bool ConfigReader::hotspare(Cursor& c, std::string* why)
{
    std::pair<int, int> a;
    if (!c.address(m.older(), &a, why))
        return false;
    int kind = 0;
    int64_t raid = -1;
    if (c.peekWord("global")) {
        c.skip();
    } else if (c.peekWord("dedicated")) {
        c.skip();
        kind = 1;
        if (!c.number("dedicated", 0, 127, &raid, why))
            return false;
    } else if (c.peekWord("enclosure")) {
        c.skip();
        kind = 2;
    }
    return m.setHotSpare(a.first, a.second, kind, int(raid), why);
}

bool ConfigReader::event(Cursor& c, std::string* why)
{
    int64_t eventClass = 0, code = 0, channel = 0;
    if (!c.number("class", 0, 255, &eventClass, why) || !c.number("code", 0, 255, &code, why))
        return false;
    std::string name;
    if (!c.atEnd() && !c.peekWord("channel") && !c.text("the event name", sEVET_DATA::kNameSize, &name, why))
        return false;
    if (c.peekWord("channel")) {
        c.skip();
        if (!c.number("channel", 0, 255, &channel, why))
            return false;
    }
    m.raise(uint8_t(eventClass), uint8_t(code), name, uint8_t(channel));
    return true;
}

bool ConfigReader::sensor(Cursor& c, std::string* why)
{
    if (c.peekWord("enclosure")) {
        c.skip();
        if (m.older()) {
            *why = "the older family has no enclosures";
            return false;
        }
        int64_t e = 0;
        if (!c.number("enclosure", 0, 255, &e, why))
            return false;
        Enclosure* enclosure = int(e) < m.enclosureCount() ? m.enclosureAt(int(e)) : nullptr;
        if (!enclosure) {
            *why = "no enclosure " + std::to_string(e);
            return false;
        }
        return sensorGroups(c, enclosure, why);
    }
    return sensorGroups(c, m.older() ? nullptr : &m.m_controllerSensors, why);
}

// Groups "KIND VALUES" separated by "/": into `enclosure`, or (nullptr) the older family's block.
bool ConfigReader::sensorGroups(Cursor& c, Enclosure* enclosure, std::string* why)
{
    const bool e100 = m.m_config.profile == Profile::E100;
    DeviceModel::Monitor monitor = m.m_monitor;
    std::array<std::vector<DeviceModel::Sensor>, 4> sections;
    int battery = 0;
    if (enclosure) {
        sections = enclosure->sensors;
        battery = enclosure->battery;
    }
    if (c.atEnd()) {
        *why = "expected fan, voltage, temp, power, battery or ups";
        return false;
    }
    while (!c.atEnd()) {
        std::string kind;
        if (!c.word(&kind, why, "a sensor kind"))
            return false;
        std::vector<std::pair<int64_t, int64_t>> values;
        while (!c.atEnd() && !c.peekSlash()) {
            if (values.size() >= size_t(DeviceModel::kMaxSensorsPerSection)) {
                *why = kind + ": at most 128 values";
                return false;
            }
            int64_t v = 0, f = 0;
            bool ok = false;
            if (kind == "battery" || kind == "ups") {
                ok = c.pair(kind.c_str(), 0, 255, 0, &v, &f, why);
            } else if (enclosure) {
                ok = c.pair(kind.c_str(), -2147483648LL, 0xFFFFFFFFLL, 0xFFFFFFFFLL, &v, &f, why);
            } else if (kind == "voltage") {
                ok = c.pair(kind.c_str(), 0, 0xFFFF, 0xFFFF, &v, &f, why);
                if (ok && f == 0)
                    f = v;
            } else if (kind == "temp") {
                ok = c.pair(kind.c_str(), -128, 127, 0, &v, &f, why);
            } else {
                ok = c.pair(kind.c_str(), 0, 0xFFFF, 0, &v, &f, why);
            }
            if (!ok)
                return false;
            values.emplace_back(v, f);
        }
        if (c.peekSlash())
            c.skip();

        if (kind == "battery" || kind == "ups") {
            if (values.size() != 1) {
                *why = kind + " takes one value";
                return false;
            }
            if (e100 || (enclosure && kind == "ups")) {
                *why = "no " + kind + " in this monitor";
                return false;
            }
            if (enclosure) {
                const int64_t b = values[0].first;
                if (b > 100 && b != 254 && b != 255) {
                    *why = "battery: 0-100 per cent, 254 failed or 255 absent";
                    return false;
                }
                battery = int(b);
            } else {
                monitor.tail = kind == "ups" ? DeviceModel::Monitor::Ups : DeviceModel::Monitor::Battery;
                monitor.tailValue = uint8_t(values[0].first);
            }
            continue;
        }
        int k = -1;
        if (kind == "fan") k = 0;
        else if (kind == "voltage") k = 1;
        else if (kind == "temp") k = 2;
        else if (kind == "power") k = 3;
        if (k < 0) {
            *why = "unknown sensor kind '" + kind + "'";
            return false;
        }
        if (enclosure) {
            static const int sectionOf[4] = {DeviceModel::kSensorFans, DeviceModel::kSensorVoltages,
                                             DeviceModel::kSensorTemperatures, DeviceModel::kSensorPower};
            auto& section = sections[size_t(sectionOf[k])];
            const size_t known = section.size();
            section.resize(values.size());
            for (size_t i = 0; i < values.size(); ++i) {
                if (i >= known)
                    section[i].name = DeviceModel::defaultSensorName(sectionOf[k] + 1, int(i));
                section[i].value = uint32_t(values[i].first);
                section[i].flags = uint32_t(values[i].second);
            }
            continue;
        }
        static const size_t olderLimits[4] = {DeviceModel::kMaxMonitorValues, DeviceModel::kMaxMonitorValues,
                                              DeviceModel::kMaxMonitorValues, DeviceModel::kMaxPowerSupplies};
        static const size_t e100Limits[4] = {1, 4, 2, 0};
        const size_t limit = (e100 ? e100Limits : olderLimits)[k];
        if (values.size() > limit) {
            *why = kind + ": at most " + std::to_string(limit) + " in this monitor";
            return false;
        }
        switch (k) {
        case 0:
            monitor.fans.clear();
            for (const auto& v : values)
                monitor.fans.push_back(uint16_t(v.first));
            break;
        case 1:
            monitor.voltages.clear();
            for (const auto& v : values)
                monitor.voltages.emplace_back(uint16_t(v.first), uint16_t(v.second));
            break;
        case 2:
            monitor.temps.clear();
            for (const auto& v : values)
                monitor.temps.push_back(int8_t(v.first));
            break;
        default:
            monitor.power.clear();
            for (const auto& v : values)
                monitor.power.push_back(v.first != 0);
            break;
        }
    }
    if (enclosure) {
        size_t total = 0;
        for (const auto& section : sections)
            total += section.size();
        if (total > size_t(DeviceModel::kMaxSensors)) {
            *why = "an enclosure has at most 256 sensors";
            return false;
        }
        enclosure->sensors = std::move(sections);
        enclosure->battery = battery;
    } else {
        m.m_monitor = std::move(monitor);
    }
    return true;
}

bool DeviceModel::loadConfig(const std::string& text, bool resetFirst, std::string* error)
{
    std::string scratch;
    std::string& why = error ? *error : scratch;
    if (text.size() > kMaxText) {
        why = "the configuration is longer than " + std::to_string(kMaxText) + " bytes";
        return false;
    }
    // The lines change a copy; it replaces this model only when every line was accepted.
    DeviceModel fresh = resetFirst ? DeviceModel(m_config, m_controllerSerial) : *this;
    if (resetFirst) {
        fresh.m_clock = m_clock;
        fresh.m_ringCapacity = m_ringCapacity;
        fresh.m_serialCounter = m_serialCounter;
    }
    ConfigReader reader(fresh, !resetFirst);
    size_t start = 0;
    int number = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        ++number;
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        std::string reason;
        std::vector<Token> tokens;
        if (line.size() > kMaxLine) {
            reason = "longer than " + std::to_string(kMaxLine) + " characters";
        } else if (tokenize(line, &tokens, &reason)) {
            if (tokens.empty())
                continue;
            if (reader.line(tokens, &reason))
                continue;
        }
        why = "line " + std::to_string(number) + ": " + reason;
        return false;
    }
    *this = std::move(fresh);
    return true;
}

} // namespace zynsim
