// The vsf commands of volume encryption keys: write key files (genkey, genkey2), rewrite one
// for other volumes (modkey), download one to unlock volumes (dlkey), and lock a volume. Key
// files are created only by this user (mode 0600), never over an existing file by genkey, and
// every file read is validated in full before any of its bytes is used.
#include "cli/cli-confargs.h"
#include "cli/cli-zynmsr.h"

#include "cli/cli-common.h"
#include "cli/output.h"
#include "keyfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using cliconf::Arg;

namespace {

const char kUsage[] = "Invalid Parameter. Use \"vsf -h\" For Details.";
const char kInvalidDot[] = "Invalid Parameter.";
const char kInvalidFile[] = "Invalid Encryption Key File";
const char kKeyFailed[] = "Key Failed\n";

constexpr std::size_t kPathSize = 256;       // a path of up to 255 characters
constexpr int kTypeZeroKey = 1;              // genkey type 1: keys of zero bytes
constexpr uint8_t kKeyAssigned = 1;          // volume key status: the controller holds a key
constexpr mode_t kKeyFileMode = 0600;
constexpr u32 kKeyInvalid = 0x57;          // the controller's "Encryption Key Invalid."

// dlkey needs firmware 1.44 or later: the digits at these positions of the version text.
constexpr int kVersionDigits[] = {1, 3, 4};
constexpr int kFirstKeyFirmware = 144;
constexpr int kDecimal = 10;

using Vol = sGUI_VOLUMESET;

using clicommon::refuse;
using clicommon::resultLine;

bool encrypted(const Vol& v)
{
    return (v.flags() & Vol::kFlagEncrypted) != 0;
}

bool unlocked(const Vol& v)
{
    return (v.flags() & Vol::kFlagUnlocked) != 0;
}

// Writes the whole buffer to a descriptor and closes it; false when any of it failed.
bool writeAndClose(int fd, const uint8_t* data, std::size_t size)
{
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ok = false;
        else
            done += std::size_t(n);
    }
    if (::close(fd) != 0)
        ok = false;
    return ok;
}

// Writes a key file: the file's report on success (0), else "Key Failed", the partial file
// removed and the result of a failed write (4).
int writeKeyFile(int fd, const char* path, const std::vector<uint8_t>& file)
{
    struct stat st;
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (!writeAndClose(fd, file.data(), file.size())) {
        cliout_zynmsr.ErrMsg_("%s", kKeyFailed);
        // Only a partial key file goes, never a device or pipe named as the destination.
        if (regular)
            ::unlink(path);
        return resultLine(ZYN_ERR_TRANSPORT);
    }
    cliout_zynmsr.SimpleMsg_("Key Information: %s\n", path);
    dumpdata(file.data(), int(file.size()));
    return resultLine(ZYN_OK);
}

// True for a name that is a FIFO (following a link): opening one waits for its other end,
// which would hold up the console.
bool namesFifo(const char* path)
{
    struct stat st;
    return ::stat(path, &st) == 0 && S_ISFIFO(st.st_mode);
}

// Opens a key file to write without waiting for a FIFO's reader: -1 (errno set) for a FIFO,
// else the descriptor as `flags` would give it.
int openDestination(const char* path, int flags)
{
    const int fd = ::open(path, flags | O_NONBLOCK, kKeyFileMode);
    if (fd < 0)
        return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISFIFO(st.st_mode)) {
        ::close(fd);
        errno = ENXIO;
        return -1;
    }
    const int status = ::fcntl(fd, F_GETFL);
    if (status != -1)
        ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    return fd;
}

// Reads and validates a key file: 0, ZYN_ERR_FILE when it cannot be opened or sized or is no
// regular file, or 1 after "Invalid Encryption Key File". The open does not wait for the
// writer of a FIFO; only a regular file of a key file's size is read.
int readKeyFile(const char* path, std::vector<uint8_t>* file, std::vector<zynkey::EntryAt>* entries)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return ZYN_ERR_FILE;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ZYN_ERR_FILE;
    }
    if (st.st_size < off_t(zynkey::kMinSize) || st.st_size > off_t(zynkey::kMaxSize)) {
        ::close(fd);
        return refuse(kInvalidFile);
    }
    file->assign(std::size_t(st.st_size), 0);
    std::size_t done = 0;
    while (done < file->size()) {
        const ssize_t n = ::read(fd, file->data() + done, file->size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += std::size_t(n);
    }
    ::close(fd);
    if (done != file->size() || !zynkey::parse(file->data(), file->size(), entries))
        return refuse(kInvalidFile);
    return 0;
}

// A file name from a volume's name: its 16 bytes up to the first NUL, as they are; false for a
// name that is then empty, "." or "..", or holds "/".
bool nameAsFileName(const Vol& v, std::string* out)
{
    const cliconf::FieldText name(v.bytes + Vol::kName);
    *out = name.text;
    return !out->empty() && *out != "." && *out != ".." && out->find('/') == std::string::npos;
}

} // namespace

int CZynlibCLI::Exe_Vol_GenerateKeyFile_Cmd(int argc, char** argv)
{
    char path[kPathSize];
    if (!IsArgPresent(argc, argv, "path"))
        return refuse("FilePath Is Missing.");
    std::vector<int> vols;
    int type = 0;
    if (!GetArgStringValue(argc, argv, "path", path) || path[0] == '\0'
        || cliconf::optionalList(argc, argv, "vol", vols) == Arg::Malformed
        || cliconf::optionalInt(argc, argv, "type", &type) == Arg::Malformed)
        return refuse(kInvalidDot);
    // The file holds a key for at most every volume set of the controller.
    if (vols.size() > std::size_t(zynkey::kMaxEntries))
        return refuse(kInvalidDot);
    struct stat st;
    if (::lstat(path, &st) == 0) {
        cliout_zynmsr.ErrMsg_("File Already Exists.");
        return resultLine(1);
    }
    auto map = std::make_unique<_VOL_MAP>();
    const u32 rc = ZynHelpBuildVolumeSetMap(map.get());
    if (rc != ZYN_OK)
        return resultLine(rc);
    const int count = int(std::min<unsigned>(map->count, _VOL_MAP::kMaxEntries));
    std::vector<int> chosen;
    if (IsArgPresent(argc, argv, "vol")) {
        for (int n : vols) {
            if (n < 1 || n > count) {
                cliout_zynmsr.ErrMsg_("VolumeSet#%02d Not Found", n);
                return resultLine(1);
            }
            chosen.push_back(n - 1);
        }
    } else {
        for (int i = 0; i < count; ++i)
            chosen.push_back(i);
    }

    std::vector<zynkey::Entry> keys;
    for (std::size_t k = 0; k < chosen.size(); ++k) {
        const Vol& v = map->entries[chosen[k]].volumeSet;
        const std::string name = cliconf::nameText(v.bytes + Vol::kName);
        const cliconf::FieldText serial(v.bytes + Vol::kSerial);
        if (type == 0) {
            if (!encrypted(v))
                continue;
            if (v.keyStatus() == kKeyAssigned) {
                cliout_zynmsr.SimpleMsg_("Name: %s, Serial: %s Already Assigned A Key", name.c_str(), serial.text);
                continue;
            }
        } else if (v.keyStatus() != kKeyAssigned) {
            cliout_zynmsr.SimpleMsg_("Name: %s, Serial: %s Key Not Found. Please Assign A Key", name.c_str(),
                                     serial.text);
            continue;
        }
        zynkey::Entry e;
        std::memcpy(e.name, v.bytes + Vol::kName, zynkey::kNameSize);
        std::memcpy(e.serial, v.bytes + Vol::kSerial, zynkey::kSerialSize);
        e.type = v.encryptionType();
        const std::size_t keyLength = zynkey::keyLengthOf(e.type);
        if (type == kTypeZeroKey) {
            e.key.assign(keyLength, '\0');
        } else {
            std::vector<std::string> texts;
            if (!vector_generate(texts))
                return resultLine(ZYN_ERR_IO);
            e.key = texts.back().substr(0, keyLength);
            const int pause = CZynlib::keyPauseMilliseconds();
            if (pause > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        }
        keys.push_back(e);
    }
    if (keys.empty()) {
        cliout_zynmsr.ErrMsg_("No New Encrypted-Volume(s) Found");
        return resultLine(1);
    }
    const std::vector<uint8_t> file = zynkey::build(keys);
    const int fd = openDestination(path, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == EEXIST)
            cliout_zynmsr.ErrMsg_("File Already Exists.");
        else
            cliout_zynmsr.ErrMsg_("Failed To Create FilePath In %s\n", path);
        return resultLine(1);
    }
    return writeKeyFile(fd, path, file);
}

int CZynlibCLI::Exe_Vol_GenerateKeyFile2_Cmd(int, char**)
{
    auto map = std::make_unique<_VOL_MAP>();
    const u32 rc = ZynHelpBuildVolumeSetMap(map.get());
    if (rc != ZYN_OK)
        return resultLine(rc);
    const int count = int(std::min<unsigned>(map->count, _VOL_MAP::kMaxEntries));
    int result = 0;
    for (int k = 1; k <= count; ++k) {
        std::string name;
        if (!nameAsFileName(map->entries[k - 1].volumeSet, &name)) {
            result = refuse(kInvalidDot);
            continue;
        }
        std::string volWord = "vol=" + std::to_string(k);
        std::string pathWord = "path=" + name;
        char* words[] = {&volWord[0], &pathWord[0], nullptr};
        result = Exe_Vol_GenerateKeyFile_Cmd(2, words);
    }
    return result;
}

int CZynlibCLI::Exe_Vol_ModifyKeyFile_Cmd(int argc, char** argv)
{
    char src[kPathSize];
    char dest[kPathSize];
    if (!IsArgPresent(argc, argv, "srcpath"))
        return refuse("Source Key File Is Missing.");
    if (!IsArgPresent(argc, argv, "destpath"))
        return refuse("Destnation Key File Is Missing.");
    std::vector<int> vols;
    if (!GetArgStringValue(argc, argv, "srcpath", src) || !GetArgStringValue(argc, argv, "destpath", dest)
        || cliconf::optionalList(argc, argv, "vol", vols) == Arg::Malformed)
        return refuse(kInvalidDot);
    return Do_ModifyKey_Cmd(src, dest, vols.empty() ? 0 : vols.front() - 1);
}

int CZynlibCLI::Do_ModifyKey_Cmd(const char* srcpath, const char* destpath, int first)
{
    std::vector<uint8_t> file;
    std::vector<zynkey::EntryAt> entries;
    const int read = readKeyFile(srcpath, &file, &entries);
    if (read == int(ZYN_ERR_FILE))
        return resultLine(ZYN_ERR_FILE);
    if (read != 0)
        return read;
    // A FIFO as the destination is refused before the controller is asked anything.
    if (namesFifo(destpath)) {
        cliout_zynmsr.ErrMsg_("Failed To Create FilePath In %s\n", destpath);
        return 1;
    }
    auto map = std::make_unique<_VOL_MAP>();
    const u32 rc = ZynHelpBuildVolumeSetMap(map.get());
    if (rc != ZYN_OK)
        return int(rc);
    const int count = int(std::min<unsigned>(map->count, _VOL_MAP::kMaxEntries));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        uint8_t* entry = file.data() + entries[i].offset;
        const std::string name = cliconf::nameText(entry);
        const cliconf::FieldText oldSerial(entry + zynkey::kSerialOffset);
        const long position = long(first) + long(i);
        if (position < 0 || position >= count
            || std::memcmp(map->entries[position].volumeSet.bytes + Vol::kName, entry, zynkey::kNameSize) != 0) {
            cliout_zynmsr.SimpleMsg_("Volume:%s Serial:%s Status:Volume Not Found Or Position Incorrect", name.c_str(),
                                     oldSerial.text);
            return 1;
        }
        const Vol& v = map->entries[position].volumeSet;
        const cliconf::FieldText newSerial(v.bytes + Vol::kSerial);
        cliout_zynmsr.SimpleMsg_("Volume:%s OldSerial:%s NewSerial:%s", name.c_str(), oldSerial.text, newSerial.text);
        std::memcpy(entry + zynkey::kSerialOffset, v.bytes + Vol::kSerial, zynkey::kSerialSize);
    }
    zynkey::reseal(file.data(), file.size());
    const int fd = openDestination(destpath, O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        cliout_zynmsr.ErrMsg_("Failed To Create FilePath In %s\n", destpath);
        return 1;
    }
    return writeKeyFile(fd, destpath, file);
}

int CZynlibCLI::Exe_Vol_DownloadKeyFile_Cmd(int argc, char** argv)
{
    const unsigned char* version = m_sysInfo.bytes + sSYSTEM_INFO::kFirmwareVersion;
    int number = 0;
    bool digits = true;
    for (int at : kVersionDigits) {
        digits = digits && version[at] >= '0' && version[at] <= '9';
        number = number * kDecimal + (version[at] - '0');
    }
    if (!digits || number < kFirstKeyFirmware) {
        cliout_zynmsr.ErrMsg_("The Current Version Of Firmware Do Not Support This Function.");
        cliout_zynmsr.ErrMsg_("Please Update Firmware Using Web-Based Manager");
        return 1;
    }
    char path[kPathSize];
    if (!IsArgPresent(argc, argv, "path"))
        return refuse("FilePath Is Missing.");
    if (!GetArgStringValue(argc, argv, "path", path))
        return refuse(kInvalidDot);
    return resultLine(u32(Do_DownloadKey_Cmd(path)));
}

int CZynlibCLI::Do_DownloadKey_Cmd(const char* path)
{
    std::vector<uint8_t> file;
    std::vector<zynkey::EntryAt> entries;
    const int read = readKeyFile(path, &file, &entries);
    if (read != 0)
        return read;
    auto map = std::make_unique<_VOL_MAP>();
    u32 rc = ZynHelpBuildVolumeSetMap(map.get());
    if (rc != ZYN_OK)
        return int(rc);
    int count = int(std::min<unsigned>(map->count, _VOL_MAP::kMaxEntries));
    for (const zynkey::EntryAt& at : entries) {
        const uint8_t* entry = file.data() + at.offset;
        const std::string name = cliconf::nameText(entry);
        const cliconf::FieldText serial(entry + zynkey::kSerialOffset);
        bool found = false;
        for (int i = 0; i < count && !found; ++i) {
            const Vol& v = map->entries[i].volumeSet;
            found = std::memcmp(v.bytes + Vol::kName, entry, zynkey::kNameSize) == 0
                    && std::memcmp(v.bytes + Vol::kSerial, entry + zynkey::kSerialOffset, zynkey::kSerialSize) == 0;
        }
        cliout_zynmsr.SimpleMsg_("Volume:%s Serial:%s Status:%s", name.c_str(), serial.text,
                                 found ? "Encryption Key Assigned" : "Volume Not Found");
    }
    rc = ZynUpdateFirmware(reinterpret_cast<char*>(file.data()), int(file.size()));
    if (rc != ZYN_OK)
        return int(rc);
    rc = ZynHelpBuildVolumeSetMap(map.get());
    if (rc != ZYN_OK)
        return int(rc);
    count = int(std::min<unsigned>(map->count, _VOL_MAP::kMaxEntries));
    for (int i = 0; i < count; ++i) {
        const Vol& v = map->entries[i].volumeSet;
        if (encrypted(v) && !unlocked(v)) {
            // A volume still locked: the key it needs was not in the file.
            cliout_zynmsr.ErrMsg_("%s", kInvalidFile);
            return int(kKeyInvalid);
        }
    }
    return 0;
}

int CZynlibCLI::Exe_Vol_MakeAESKeyInvalid_Cmd(int argc, char** argv)
{
    if (argc != 1)
        return refuse(kUsage);
    if (!IsArgPresent(argc, argv, "vol"))
        return refuse("VolumeSet# Is Missing.");
    int vol = 0;
    if (!GetArgIntValue(argc, argv, "vol", &vol))
        return refuse(kInvalidDot);
    auto map = std::make_unique<_VOL_MAP>();
    const u32 rc = ZynHelpBuildVolumeSetMap(map.get());
    if (rc != ZYN_OK)
        return resultLine(rc);
    if (unsigned(vol) < 1 || unsigned(vol) > std::min<unsigned>(map->count, _VOL_MAP::kMaxEntries))
        return resultLine(ZYN_ERR_NO_OBJECT);
    const _VOL_MAP::Entry& e = map->entries[vol - 1];
    if (!encrypted(e.volumeSet))
        return refuse("Not A Encrypted VolumeSet");
    if (e.volumeSet.keyStatus() != kKeyAssigned)
        return refuse("Key Not Found. Please Assign A Key.");
    if (!unlocked(e.volumeSet))
        return refuse("VolumeSet Already Locked");
    return resultLine(ZynLockEncryptedVolSet(u8(e.number)));
}

int CZynlibCLI::Exe_Vol_MakeAESKeyValid_Cmd(int, char**)
{
    // Nothing unlocks a volume here; dlkey does.
    return resultLine(ZYN_ERR_NOT_ALLOWED);
}
