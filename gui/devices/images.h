// The program's images, embedded as Qt resources under ":/images/".
#pragma once

// Makes the embedded images available (once; later calls do nothing). The resources live in a
// static library, so whoever shows an image first calls this.
void PalvirInitImages();
