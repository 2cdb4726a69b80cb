#include "TabletopVisBuilder.h"

#include "TabletopVis.h"

#include <iostream>

namespace {

void implementMe(const char* name)
{
    std::cout << "Error: Implement method " << name << " in render-specific builder!"
              << std::endl;
}

} // namespace

void TabletopVisBuilder::setVis(TabletopVis* v)
{
    vis.reset(v);
}

void TabletopVisBuilder::buildVis(unsigned int, unsigned int, unsigned int, unsigned int,
                                  unsigned int)
{
    implementMe("buildVis");
}
void TabletopVisBuilder::buildTextures(unsigned int, const char*) { implementMe("buildTextures"); }
void TabletopVisBuilder::buildImages(double, double, unsigned int) { implementMe("buildImages"); }
void TabletopVisBuilder::buildDocument(double, double, double, const char*)
{
    implementMe("buildDocuments");
}
void TabletopVisBuilder::buildBoundedContainer(double, double, double, double, unsigned int,
                                               unsigned int, unsigned int, bool, bool,
                                               unsigned int, double, double)
{
    implementMe("buildBoundedContainer");
}
void TabletopVisBuilder::buildStorageBin(double, double, double, double, unsigned int,
                                         unsigned int, unsigned int, bool, bool, unsigned int,
                                         double, double)
{
    implementMe("buildStorageBin");
}
void TabletopVisBuilder::buildInterfaceCurrent(double, double, double, double, unsigned int,
                                               unsigned int, unsigned int, bool, bool,
                                               unsigned int, double, double)
{
    implementMe("buildInterfaceCurrent");
}
void TabletopVisBuilder::buildDestroyer(double, double, double, double, const char*)
{
    implementMe("buildDestroyer");
}
void TabletopVisBuilder::buildStorageBinCreator(double, double, double, double, double, double,
                                                unsigned int, unsigned int, bool, const char*)
{
    implementMe("buildStorageBinCreator");
}
void TabletopVisBuilder::buildStickyBoardCreator(double, double, double, double, double, double,
                                                 const char*)
{
    implementMe("buildStickyBoardCreator");
}
void TabletopVisBuilder::buildPoolInterfaceCurrentCreator(double, double, double, double, double,
                                                          double, unsigned int, unsigned int,
                                                          bool, const char*)
{
    implementMe("buildPoolInterfaceCurrentCreator");
}
void TabletopVisBuilder::buildBeltInterfaceCurrentCreator(double, double, double, double, double,
                                                          double, unsigned int, unsigned int,
                                                          bool, const char*)
{
    implementMe("buildBeltInterfaceCurrentCreator");
}
void TabletopVisBuilder::buildStickyNoteCreator(double, double, double, double, double, double,
                                                const char*)
{
    implementMe("buildStickyNoteCreator");
}
void TabletopVisBuilder::buildLensCreator(double, double, double, double, double, double,
                                          const char*, const char*, double, double, unsigned int,
                                          double, double, const char*)
{
    implementMe("buildLensCreator");
}
void TabletopVisBuilder::buildControlSurface(double, double) { implementMe("buildControlSurface"); }
void TabletopVisBuilder::buildSizeLens(unsigned int, double, double, double, double, const char*,
                                       double, double, unsigned int)
{
    implementMe("buildSizeLens");
}
void TabletopVisBuilder::buildDirectionLens(unsigned int, double, double, double, double,
                                            const char*, double, double, unsigned int,
                                            unsigned int)
{
    implementMe("buildDirectionLens");
}
void TabletopVisBuilder::buildFont(const char*, int) { implementMe("buildFonts"); }
void TabletopVisBuilder::buildImage(const char*, double, double, double, double, double)
{
    implementMe("buildImage");
}
void TabletopVisBuilder::buildLabel(const char*, const char*, double, double, double, const float*,
                                    const float*, double)
{
    implementMe("buildLabel");
}
void TabletopVisBuilder::buildStickyNote(double, double, double, double, double)
{
    implementMe("buildStickyNote");
}
void TabletopVisBuilder::buildStickyBoard(double, double, double, double)
{
    implementMe("buildStickyBoard");
}
void TabletopVisBuilder::buildHockeySurface(double, double, double)
{
    implementMe("buildHockeySurface");
}
void TabletopVisBuilder::buildHockeyPaddles(unsigned int, double)
{
    implementMe("buildHockeyPaddles");
}
void TabletopVisBuilder::buildHockeyPucks(unsigned int, double, double, double)
{
    implementMe("buildHockeyPucks");
}
