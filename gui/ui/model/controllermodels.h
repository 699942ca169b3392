// The item models every started controller holds in its QZynGuiItem.
#pragma once

// Makes the view layer give each controller started from now on its six item models (disks,
// events, raid sets, volume sets, hardware monitor, raid set members), made once: a controller
// started again keeps the models it has. Call once at program start; later calls change nothing.
void InstallControllerModels();
