// The sys savebin and restorebin commands: the current controller's settings file, written and
// read by the file core the main window uses too (helper/romcfgfile.h), with the console's own
// texts and result codes. A save never replaces a file and leaves no file when it fails; a
// restore checks the file's size, the model and the layout before the first write.
#include "cli/cli-zynmsr.h"

#include "cli/cli-common.h"
#include "cli/output.h"
#include "helper/romcfgfile.h"

#include <QFile>

namespace {

using clicommon::refuse;
using clicommon::resultLine;
using Status = RomCfgFile::Status;

constexpr std::size_t kPathCapacity = RomCfgFile::kMaxPathBytes + 1;

// Result codes of the table of messages: "Failure." and "Failed To Write To Media.".
constexpr u32 kCodeFailure = 1;
constexpr u32 kCodeWriteToMedia = 4;

const char kInvalidDot[] = "Invalid Parameter.";

// A refusal that also prints the result line of 1.
int refuseWithLine(const char* text)
{
    cliout_zynmsr.ErrMsg_("%s", text);
    return resultLine(kCodeFailure);
}

// Reads path=: 0 with `path` filled, else 1 after the refusal (`missing` for an absent or empty
// value, "Invalid Parameter." for one too long).
int readPath(int argc, char** argv, const char* missing, QString* path)
{
    if (!IsArgPresent(argc, argv, "path"))
        return refuse(missing);
    char text[kPathCapacity] = {};
    if (!GetArgStringValue(argc, argv, "path", text))
        return refuse(kInvalidDot);
    if (text[0] == '\0')
        return refuse(missing);
    *path = QFile::decodeName(text);
    return 0;
}

} // namespace

int CZynlibCLI::Exe_Sys_SaveRomCfg_CFG_Cmd(int argc, char** argv)
{
    QString path;
    if (readPath(argc, argv, kInvalidDot, &path) != 0)
        return 1;
    QZynController* ctrl = GetCtrl();
    if (ctrl == nullptr)
        return resultLine(ZYN_ERR_NO_TRANSPORT);

    RomCfgFile::SaveOptions options;
    options.refuseExisting = true;
    options.beforeRead = [] { cliout_zynmsr.Msg_("Saving...Please Wait, It May Take Few Minutes"); };
    const RomCfgFile::Result r = RomCfgFile::Save(*ctrl, path, options);
    switch (r.status) {
    case Status::Ok:
        return resultLine(ZYN_OK);
    case Status::BadPath:
        return refuse(kInvalidDot);
    case Status::FileExists:
        return refuseWithLine("File Already Exists.");
    case Status::IdentifyFailed:
    case Status::ReadFailed:
    case Status::NoLayout:
        return resultLine(r.code);
    case Status::CreateFailed:
    case Status::WriteFailed:
    default:
        cliout_zynmsr.ErrMsg_("Failed To Create File.");
        return resultLine(kCodeWriteToMedia);
    }
}

int CZynlibCLI::Exe_Sys_RestoreRomCfg_CFG_Cmd(int argc, char** argv)
{
    if (m_sysInfo.fibreBoard())
        return Exe_Sys_DoFirbreModelRestoreRomCfg_CFG_Cmd(argc, argv);
    return RestoreRomCfg(argc, argv, false);
}

int CZynlibCLI::Exe_Sys_DoFirbreModelRestoreRomCfg_CFG_Cmd(int argc, char** argv)
{
    return RestoreRomCfg(argc, argv, true);
}

int CZynlibCLI::RestoreRomCfg(int argc, char** argv, bool fibre)
{
    QString path;
    if (readPath(argc, argv, "FilePath Is Missing.", &path) != 0)
        return 1;
    QZynController* ctrl = GetCtrl();
    if (ctrl == nullptr)
        return resultLine(ZYN_ERR_NO_TRANSPORT);

    // The restore's writes are one run: confirmed once, and again only after a break.
    const QZynController::Run restore(ctrl);
    const RomCfgFile::Result r =
        RomCfgFile::Restore(*ctrl, path, fibre ? RomCfgFile::RestorePath::Fibre : RomCfgFile::RestorePath::Plain,
                            [] { cliout_zynmsr.Msg_("Restoring...Please Wait, It May Take Few Minutes"); });
    switch (r.status) {
    case Status::Ok:
        cliout_zynmsr.Msg_("Please Restart Controller To Take Effect");
        return resultLine(ZYN_OK);
    case Status::BadPath:
        return refuse(kInvalidDot);
    case Status::StatFailed:
    case Status::OpenFailed:
        return resultLine(ZYN_ERR_FILE);
    case Status::BadSize:
        return refuseWithLine("Invalid File Size.");
    case Status::ModelMismatch:
        return refuseWithLine("The Controller Model Must Be The Same To Restore");
    case Status::IdentifyFailed:
    case Status::NoLayout:
    case Status::FieldWriteFailed:
        return resultLine(r.code);
    default:
        return resultLine(r.code != ZYN_OK ? r.code : kCodeFailure);
    }
}
