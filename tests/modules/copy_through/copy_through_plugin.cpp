#include "copy_through_plugin.h"

void CopyThroughPlugin::RenderTile(Parameters*, ImageBuffer& source, ImageBuffer& destination, ImageBuffer&,
                                   ImageBuffer*) {
    destination.CopyFrom(source, destination.GetRect());
}
