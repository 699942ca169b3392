#include "ui/model/controllermodels.h"

#include "devices/controller.h"
#include "ui/model/diskitemmodel.h"
#include "ui/model/eventitemmodel.h"
#include "ui/model/hwmonitoritemmodel.h"
#include "ui/model/raidsetitemmodel.h"
#include "ui/model/volumesetitemmodel.h"

namespace {

template <typename Model>
void makeOnce(QStandardItemModel*& slot, QZynController* controller)
{
    if (slot == nullptr)
        slot = new Model(controller, nullptr);
}

void makeModels(QZynController* controller)
{
    QZynGuiItem* g = controller->GetGuiItem();
    makeOnce<QZynDiskItemModel>(g->diskModel, controller);
    makeOnce<QZynEventItemModel>(g->eventModel, controller);
    makeOnce<QZynRaidSetItemModel>(g->raidSetModel, controller);
    makeOnce<QZynVolumeSetItemModel>(g->volumeSetModel, controller);
    makeOnce<QZynHwMonitorItemModel>(g->hwMonitorModel, controller);
    makeOnce<QZynRaidSetMemberDiskItemModel>(g->memberDiskModel, controller);
}

}   // namespace

void InstallControllerModels()
{
    QZynController::AddStartMaker(makeModels);
}
