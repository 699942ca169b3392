// The controller settings file: a controller's setup image with its identify record in the last
// 64 bytes, saved from a controller and restored field by field onto a controller of the same
// model. One core (RomCfgFile) serves the main window's commands and the console's savebin and
// restorebin; the front ends differ only in the options they pass and in how they turn a
// result into their codes and texts.
#pragma once

#include "zynlib.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QZynController;

class RomCfgFile {
public:
    // The file: the image part, then the identify record.
    static constexpr int kSmallFileSize = 40960;    // layouts 0-2
    static constexpr int kLargeFileSize = 98368;    // layout 3
    static constexpr int kIdentifyRecordSize = 64;
    // The image a fibre channel restore builds before its writes.
    static constexpr int kFibreImageSize = kLargeFileSize - kIdentifyRecordSize;
    // The model key: the first characters of the identify string, compared without case.
    static constexpr int kModelKeyLength = 28;
    // The longest file path, in the local 8-bit encoding.
    static constexpr int kMaxPathBytes = 511;
    // Setup-table flags: the field keeps its value in a saved file; it is written on restore.
    static constexpr uint32_t kFlagSaved = 0x02;
    static constexpr uint32_t kFlagRestored = 0x04;
    // The layout the fibre channel conversion fills from a small file.
    static constexpr int kConvertedLayout = 3;

    enum class Status {
        Ok,
        BadPath,          // empty, or longer than kMaxPathBytes once encoded
        FileExists,       // refused by SaveOptions::refuseExisting
        CreateFailed,     // the file could not be created
        WriteFailed,      // a short write or a failing close; the partial file is removed
        IdentifyFailed,   // `code` holds the library's result
        NoLayout,         // the controller has no setup-table layout
        ReadFailed,       // the setup-page read failed; `code` holds the library's result
        StatFailed,
        OpenFailed,
        BadSize,          // the file's size does not fit the controller's layout
        ModelMismatch,
        FieldWriteFailed, // `code` and `fieldId` name the first refused write
    };

    struct Result {
        Status status = Status::Ok;
        u32 code = ZYN_OK;         // the library's result where one applies
        bool fileWritten = false;  // a save left a complete file
        int fieldId = -1;
        int fieldsWritten = 0;
        qint64 fileSize = -1;      // a restore: the size the file had
        int layout = -1;
        QByteArray controllerModel; // the model keys compared (cut at 28 characters or a NUL)
        QByteArray fileModel;
    };

    struct SaveOptions {
        bool refuseExisting = false;     // an existing name (a link included) is refused before any
                                         // command, and the file is created exclusively
        bool writeOnFailedRead = false;  // a failed page read still leaves a file (unpatched image)
        std::function<void()> beforeRead; // called once the layout is known, before the image read
    };

    enum class RestorePath {
        Plain,   // the file's image is written as it stands
        Fibre,   // the file's image is carried into a zeroed fibre channel image first
    };

    // The size a file of `layout` has; 0 for no layout.
    static int FileSizeFor(int layout);
    // True for a controller whose system information says fibre channel board (byte 188 is 8 or 9).
    static bool IsFibreModel(const CZynlib& lib);
    // The path in the local 8-bit encoding, or empty when it is empty or too long.
    static QByteArray EncodePath(const QString& path);

    // A file it creates is readable and writable by its owner only (it holds passwords).
    static Result Save(CZynlib& lib, const QString& path, const SaveOptions& options);
    static Result Save(CZynlib& lib, const QString& path);   // the main window's options
    // Checks everything before it sends the first write: the file's size against the layout,
    // the model key (a file without one matches nothing) and the layout itself. `beforeWrites`
    // is called once every check has passed, before the first write.
    static Result Restore(CZynlib& lib, const QString& path, RestorePath how,
                          const std::function<void()>& beforeWrites = std::function<void()>());

    // The fibre channel image of a small file for a layout-3 controller (kFibreImageSize
    // bytes); `file` holds at least kSmallFileSize bytes.
    static QByteArray ConvertSmallImage(const QByteArray& file);

    // The name of the first-seen backup of a controller serial (cut at its first NUL), or empty
    // when that name is empty, ".", "..", or holds a "/".
    static QString BackupNameOf(const QByteArray& serial);
};

// The main window's commands: 0, 1, 72 (no layout) or the library's result.
int Exe_Sys_SaveRomCfg_CFG_Cmd(QZynController* controller, const QString& path);
int Exe_Sys_RestoreRomCfg_CFG_Cmd(QZynController* controller, const QString& path);
int Exe_Sys_DoFirbreModelRestoreRomCfg_CFG_Cmd(QZynController* controller, const QString& path);

// Saves the settings file of a controller seen for the first time into `folder`, named by its
// serial number with ".bin"; nothing when that name exists (as a file, a folder or a link, even
// a dangling one) or the serial makes no safe name.
// Returns the path written, or empty.
QString SaveFirstSeenRomCfg(QZynController* controller, const QString& folder);
