#include "helper/romcfgfile.h"

#include "devices/controller.h"
#include "devices/sysinfo.h"
#include "records.h"
#include "setuptable.h"

#include <QDebug>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The fibre channel conversion of a small file into the layout-3 image. Three straight runs,
// and the 32 blocks of 640 bytes of the small layout spread over the 32 strides of 2560 bytes
// of layout 3, 160 bytes to each quarter.
struct CopyRun {
    int from;
    int length;
    int to;
};
constexpr CopyRun kStraightRuns[] = {
    {0, 644, 0},
    {644, 640, 644},
    {21764, 11004, 86660},
};
constexpr int kBlockCount = 32;
constexpr int kBlockFrom = 1284;
constexpr int kBlockFromStride = 640;
constexpr int kBlockPieceLength = 160;
constexpr int kBlockPieces = 4;
constexpr int kBlockTo = 4740;
constexpr int kBlockToStride = 2560;
constexpr int kBlockPieceToStride = 640;   // the pieces of one block land 640 bytes apart

static_assert(kBlockFrom + kBlockCount * kBlockFromStride <= RomCfgFile::kSmallFileSize - RomCfgFile::kIdentifyRecordSize,
              "the blocks lie within a small file's image");
static_assert(kBlockTo + (kBlockCount - 1) * kBlockToStride + (kBlockPieces - 1) * kBlockPieceToStride + kBlockPieceLength
                  <= RomCfgFile::kFibreImageSize,
              "the blocks land within the fibre image");
constexpr bool straightRunsFit()
{
    for (const CopyRun& run : kStraightRuns)
        if (run.from + run.length > RomCfgFile::kSmallFileSize - RomCfgFile::kIdentifyRecordSize
            || run.to + run.length > RomCfgFile::kFibreImageSize)
            return false;
    return true;
}
static_assert(straightRunsFit(), "the straight runs lie within both images");

using Result = RomCfgFile::Result;
using Status = RomCfgFile::Status;

Result failed(Result r, Status status, u32 code = ZYN_OK)
{
    r.status = status;
    r.code = code;
    return r;
}

// The model key of an identify record: up to 28 characters, cut at a NUL.
QByteArray modelKey(const char* record)
{
    const size_t length = strnlen(record, RomCfgFile::kModelKeyLength);
    return QByteArray(record, int(length));
}

// The fields a restore writes in `layout`, in id order; false when one lies outside `available`.
struct FieldWrite {
    int id;
    int64_t offset;
    int64_t length;
};
bool restorableFields(int layout, int64_t available, std::vector<FieldWrite>* out)
{
    for (int id = 0; id < kSetupTableRows; ++id) {
        const SetupTableRow* row = gettablelist(u32(id));
        const CFieldInfo* field = gettablefieldinfo(u8(layout), u32(id));
        if (row == nullptr || field == nullptr || (row->attribute & RomCfgFile::kFlagRestored) == 0 || field->offset == -1)
            continue;
        if (field->offset < 0 || field->length <= 0 || field->offset + field->length > available)
            return false;
        out->push_back({id, field->offset, field->length});
    }
    return true;
}

// A settings file holds the mail password and the SNMP community in clear: its owner's alone.
constexpr mode_t kSettingsFileMode = S_IRUSR | S_IWUSR;

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

} // namespace

int RomCfgFile::FileSizeFor(int layout)
{
    if (layout < 0 || layout >= kSetupLayouts)
        return 0;
    return layout == kConvertedLayout ? kLargeFileSize : kSmallFileSize;
}

bool RomCfgFile::IsFibreModel(const CZynlib& lib)
{
    return lib.cachedSysInfo().fibreBoard();
}

QByteArray RomCfgFile::EncodePath(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    if (encoded.isEmpty() || encoded.size() > kMaxPathBytes || encoded.contains('\0'))
        return QByteArray();
    return encoded;
}

RomCfgFile::Result RomCfgFile::Save(CZynlib& lib, const QString& path, const SaveOptions& options)
{
    Result r;
    const QByteArray name = EncodePath(path);
    if (name.isEmpty())
        return failed(r, Status::BadPath);
    struct stat info;
    if (options.refuseExisting && ::lstat(name.constData(), &info) == 0)
        return failed(r, Status::FileExists);
    // Opening a FIFO waits for its reader: one is refused before the controller is asked.
    if (::stat(name.constData(), &info) == 0 && S_ISFIFO(info.st_mode))
        return failed(r, Status::CreateFailed);

    char identify[kIdentifyRecordSize] = {};
    u32 rc = lib.ZynGetIdentifyString(identify);
    if (rc != ZYN_OK)
        return failed(r, Status::IdentifyFailed, rc);
    r.layout = lib.DetermineTableNumber();
    const int size = FileSizeFor(r.layout);
    if (size == 0)
        return failed(r, Status::NoLayout, ZYN_ERR_NOT_ALLOWED);

    if (options.beforeRead)
        options.beforeRead();
    std::vector<u8> buffer(size_t(size), 0);
    rc = lib.ZynGetSetupPage(buffer.data(), size, nullptr);
    if (rc != ZYN_OK && !options.writeOnFailedRead)
        return failed(r, Status::ReadFailed, rc);
    if (rc == ZYN_OK) {
        std::memcpy(buffer.data() + size - kIdentifyRecordSize, identify, kIdentifyRecordSize);
        for (int id = 0; id < kSetupTableRows; ++id) {
            const SetupTableRow* row = gettablelist(u32(id));
            const CFieldInfo* field = gettablefieldinfo(u8(r.layout), u32(id));
            if (row == nullptr || field == nullptr || (row->attribute & kFlagSaved) != 0 || field->offset < 0)
                continue;
            if (field->length <= 0 || field->offset + field->length > size - kIdentifyRecordSize)
                continue;
            std::memset(buffer.data() + field->offset, 0, size_t(field->length));
        }
    }

    // Refusing an existing name, a name that appeared meanwhile is not overwritten either, and
    // a link (even one that leads nowhere) is such a name, never a way to write elsewhere. A FIFO
    // that took the name since the check above fails the open instead of waiting for a reader.
    const int flags =
        O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | (options.refuseExisting ? O_EXCL | O_NOFOLLOW : O_TRUNC);
    const int fd = ::open(name.constData(), flags, kSettingsFileMode);
    if (fd < 0)
        return failed(r, errno == EEXIST && options.refuseExisting ? Status::FileExists : Status::CreateFailed);
    // Only a file of our own is removed after a failure, never a device that took the name.
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        ::close(fd);
        if (regular)
            std::remove(name.constData());
        return failed(r, Status::CreateFailed);
    }
    const size_t written = std::fwrite(buffer.data(), 1, buffer.size(), file);
    const bool closed = std::fclose(file) == 0;
    if (written != buffer.size() || !closed) {
        if (regular)
            std::remove(name.constData());
        return failed(r, Status::WriteFailed);
    }
    r.fileWritten = true;
    if (rc != ZYN_OK)
        return failed(r, Status::ReadFailed, rc);
    return r;
}

RomCfgFile::Result RomCfgFile::Save(CZynlib& lib, const QString& path)
{
    return Save(lib, path, SaveOptions());
}

QByteArray RomCfgFile::ConvertSmallImage(const QByteArray& file)
{
    QByteArray image(kFibreImageSize, '\0');
    if (file.size() < kSmallFileSize)
        return image;
    for (const CopyRun& run : kStraightRuns)
        std::memcpy(image.data() + run.to, file.constData() + run.from, size_t(run.length));
    for (int k = 0; k < kBlockCount; ++k)
        for (int piece = 0; piece < kBlockPieces; ++piece)
            std::memcpy(image.data() + kBlockTo + k * kBlockToStride + piece * kBlockPieceToStride,
                        file.constData() + kBlockFrom + k * kBlockFromStride + piece * kBlockPieceLength,
                        size_t(kBlockPieceLength));
    return image;
}

RomCfgFile::Result RomCfgFile::Restore(CZynlib& lib, const QString& path, RestorePath how,
                                       const std::function<void()>& beforeWrites)
{
    Result r;
    const QByteArray name = EncodePath(path);
    if (name.isEmpty())
        return failed(r, Status::BadPath);
    struct stat info;
    if (::stat(name.constData(), &info) != 0)
        return failed(r, Status::StatFailed);
    if (!S_ISREG(info.st_mode))
        return failed(r, Status::OpenFailed);
    r.fileSize = qint64(info.st_size);
    // Nothing larger than the largest layout is read, and nothing without an identify record.
    if (r.fileSize < kIdentifyRecordSize || r.fileSize > kLargeFileSize)
        return failed(r, Status::BadSize);
    std::unique_ptr<FILE, FileCloser> file(std::fopen(name.constData(), "rb"));
    if (!file)
        return failed(r, Status::OpenFailed);
    QByteArray content(int(r.fileSize), '\0');
    if (std::fread(content.data(), 1, size_t(content.size()), file.get()) != size_t(content.size())
        || std::fgetc(file.get()) != EOF)
        return failed(r, Status::OpenFailed);
    file.reset();

    char identify[kIdentifyRecordSize] = {};
    const u32 rc = lib.ZynGetIdentifyString(identify);
    if (rc != ZYN_OK)
        return failed(r, Status::IdentifyFailed, rc);
    r.controllerModel = modelKey(identify);
    char fileIdentify[kIdentifyRecordSize + 1] = {};
    std::memcpy(fileIdentify, content.constData() + content.size() - kIdentifyRecordSize, kIdentifyRecordSize);
    r.fileModel = modelKey(fileIdentify);
    // A file without an identify record (all zeros there) belongs to no controller.
    if (r.fileModel.isEmpty() || qstricmp(r.controllerModel.constData(), r.fileModel.constData()) != 0)
        return failed(r, Status::ModelMismatch);

    r.layout = lib.DetermineTableNumber();
    const int size = FileSizeFor(r.layout);
    if (size == 0)
        return failed(r, Status::NoLayout, ZYN_ERR_NOT_ALLOWED);
    // A small file carries no mark of its layout: one saved from a layout-1 controller is taken
    // for a layout-2 file here and converted by the layout-2 table, and a small file of one
    // layout restores onto a controller of another small layout field by field at that
    // layout's offsets. Both writers share this format, so the size is all there is to check.
    const bool convert = how == RestorePath::Fibre && r.layout == kConvertedLayout && r.fileSize == kSmallFileSize;
    if (r.fileSize != size && !convert)
        return failed(r, Status::BadSize);

    QByteArray image;
    if (convert) {
        image = ConvertSmallImage(content);
    } else if (how == RestorePath::Fibre) {
        image = QByteArray(kFibreImageSize, '\0');
        std::memcpy(image.data(), content.constData(), size_t(content.size() - kIdentifyRecordSize));
    } else {
        image = content.left(content.size() - kIdentifyRecordSize);
    }
    std::vector<FieldWrite> fields;
    if (!restorableFields(r.layout, image.size(), &fields))
        return failed(r, Status::BadSize);
    if (beforeWrites)
        beforeWrites();
    for (const FieldWrite& f : fields) {
        const u32 written = lib.ZynWriteSetupData(f.id, image.data() + f.offset, int(f.length), nullptr);
        if (written != ZYN_OK) {
            r.fieldId = f.id;
            return failed(r, Status::FieldWriteFailed, written);
        }
        ++r.fieldsWritten;
    }
    return r;
}

QString RomCfgFile::BackupNameOf(const QByteArray& serial)
{
    const int end = serial.indexOf('\0');
    const QString name = QString::fromLatin1(end < 0 ? serial : serial.left(end));
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QLatin1Char('/')))
        return QString();
    return name;
}

// The main window's front end.

namespace {

// The main window's result for a failure of the file or its checks.
constexpr int kWindowFileFailure = 1;

int windowCode(const Result& r)
{
    switch (r.status) {
    case Status::Ok:
        return ZYN_OK;
    case Status::IdentifyFailed:
    case Status::ReadFailed:
    case Status::FieldWriteFailed:
    case Status::NoLayout:
        return int(r.code);
    default:
        return kWindowFileFailure;
    }
}

int restoreByWindow(QZynController* controller, const QString& path, RomCfgFile::RestorePath how)
{
    if (controller == nullptr)
        return kWindowFileFailure;
    // The restore's writes are one run: confirmed once, and again only after a break.
    const QZynController::Run restore(controller);
    const Result r = RomCfgFile::Restore(*controller, path, how);
    switch (r.status) {
    case Status::Ok:
        qDebug("Restore Settings Ok, Please Restart Controller To Take Effect");
        break;
    case Status::BadPath:
        qDebug() << "The path of the setting file is empty or too long:" << path;
        break;
    case Status::StatFailed:
        qDebug("Failed to stat(...)");
        break;
    case Status::OpenFailed:
        qDebug("Failed to fopen(...)");
        break;
    case Status::BadSize:
        qDebug() << "The setting file has" << r.fileSize << "bytes, which does not fit layout" << r.layout;
        break;
    case Status::ModelMismatch:
        if (how == RomCfgFile::RestorePath::Fibre)
            qDebug("The Controller Model Must Be The Same To Restore");
        else
            qDebug("The Controller Model Must Be The Same To Restore [%s:%s]", r.controllerModel.constData(),
                   r.fileModel.constData());
        break;
    case Status::NoLayout:
        qDebug("table not supported");
        break;
    case Status::IdentifyFailed:
        qDebug() << "Failed to ZynGetIdentifyString(...), status =" << r.code;
        break;
    case Status::FieldWriteFailed:
        qDebug() << "Failed to ZynWriteSetupData(" << r.fieldId << "), status =" << r.code;
        break;
    default:
        break;
    }
    return windowCode(r);
}

// A save with the window's texts; `controller` is not null.
Result saveByWindow(QZynController* controller, const QString& path, const RomCfgFile::SaveOptions& options)
{
    const Result r = RomCfgFile::Save(*controller, path, options);
    switch (r.status) {
    case Status::Ok:
        qDebug().noquote() << "Setting has been saved to file " + path;
        break;
    case Status::FileExists:   // only the first-seen backup refuses a name: it keeps the first copy
        break;
    case Status::BadPath:
    case Status::CreateFailed:
    case Status::WriteFailed:
        qDebug().noquote() << "Failed to save the setting to file " + path;
        break;
    default:
        qDebug() << "The setting file was not saved, status =" << r.code;
        break;
    }
    return r;
}

} // namespace

int Exe_Sys_SaveRomCfg_CFG_Cmd(QZynController* controller, const QString& path)
{
    if (controller == nullptr)
        return kWindowFileFailure;
    return windowCode(saveByWindow(controller, path, RomCfgFile::SaveOptions()));
}

int Exe_Sys_RestoreRomCfg_CFG_Cmd(QZynController* controller, const QString& path)
{
    if (controller != nullptr && RomCfgFile::IsFibreModel(*controller))
        return Exe_Sys_DoFirbreModelRestoreRomCfg_CFG_Cmd(controller, path);
    return restoreByWindow(controller, path, RomCfgFile::RestorePath::Plain);
}

int Exe_Sys_DoFirbreModelRestoreRomCfg_CFG_Cmd(QZynController* controller, const QString& path)
{
    return restoreByWindow(controller, path, RomCfgFile::RestorePath::Fibre);
}

QString SaveFirstSeenRomCfg(QZynController* controller, const QString& folder)
{
    if (controller == nullptr)
        return QString();
    const sSYSTEM_INFO record = controller->GetSysInfo()->GetRecord();
    const QByteArray serial(reinterpret_cast<const char*>(record.bytes + sSYSTEM_INFO::kSerialNumber),
                            sSYSTEM_INFO::kSerialNumberSize);
    const QString name = RomCfgFile::BackupNameOf(serial);
    if (name.isEmpty()) {
        qDebug() << "No first-seen settings backup: the serial number" << serial.toHex() << "makes no file name";
        return QString();
    }
    const QString path = folder + QLatin1Char('/') + name + QLatin1String(".bin");
    // Created only where the name is free: an existing file, folder or link (even one that
    // leads nowhere) keeps its place, and nothing is read then.
    RomCfgFile::SaveOptions once;
    once.refuseExisting = true;
    return saveByWindow(controller, path, once).fileWritten ? path : QString();
}
