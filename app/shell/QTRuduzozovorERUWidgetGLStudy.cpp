// The widget's study tasks and Wii remote handlers.

#include "QTRuduzozovorERUWidgetGL.h"

#include "RuduzozovorERUVisGL.h"
#include "canvas/CanvasCompositeGL.h"
#include "canvas/PrimitiveLeafGL.h"
#include "canvas/ToolBrushLeafGL.h"
#include "study/Loggers.h"
#include "study/TaskPopulation.h"
#include "vis/TabletopVisGL.h"

#include <FTGL/ftgl.h>
#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

void rimPoint(double cx, double cy, double r, double a)
{
    glVertex2d(cx + r * std::cos(a), cy + r * std::sin(a));
}

// A disc or a capsule, filled or outlined.
void targetAreaShape(int sx, int sy, int ex, int ey, double r, bool outline)
{
    if (sx == ex && sy == ey) {
        glBegin(outline ? GL_LINE_LOOP : GL_TRIANGLE_FAN);
        if (!outline) glVertex2d(sx, sy);
        for (int i = 0; i <= 50; ++i) rimPoint(sx, sy, r, 2.0 * kPi * i / 50.0);
        glEnd();
        return;
    }
    // Half discs at both ends joined by a rectangle of width 2r; the first half faces away
    // from the end.
    const bool horizontal = sy == ey;
    const double away = horizontal ? (sx <= ex ? kPi * 0.5 : -kPi * 0.5)
                                   : (sy <= ey ? kPi : 0.0);
    glBegin(outline ? GL_LINE_LOOP : GL_POLYGON);
    for (int i = 0; i <= 25; ++i) rimPoint(sx, sy, r, away + 2.0 * kPi * i / 50.0);
    for (int i = 0; i <= 25; ++i) rimPoint(ex, ey, r, away + kPi + 2.0 * kPi * i / 50.0);
    glEnd();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Study tasks

bool QTRuduzozovorERUWidgetGL::hasMoreTasks() { return tasks.hasMoreTasks(); }
void QTRuduzozovorERUWidgetGL::setTaskMode(bool on)
{
    tasks.setTaskMode(on);
    announceTaskState();
}
bool QTRuduzozovorERUWidgetGL::isTaskMode() { return tasks.isTaskMode(); }

void QTRuduzozovorERUWidgetGL::finishTask()
{
    makeCurrent();
    tasks.finishTask();
    doneCurrent();
    announceTaskState();
}

void QTRuduzozovorERUWidgetGL::startTask()
{
    makeCurrent();
    tasks.startTask();
    doneCurrent();
    announceTaskState();
    update();
}

void QTRuduzozovorERUWidgetGL::finishTasksAtQuit()
{
    tasks.finishAtQuit();
    announceTaskState();
}

void QTRuduzozovorERUWidgetGL::announceTaskState()
{
    if (tasks.isTaskRunning() == taskRunningAnnounced) return;
    taskRunningAnnounced = tasks.isTaskRunning();
    emit taskRunningChanged(taskRunningAnnounced);
}

void QTRuduzozovorERUWidgetGL::loadTaskList()
{
    std::vector<TaskDescription> list = taskDescriptionsFrom(configuration->task);
    for (std::size_t i = 0; i < list.size() && vis; ++i) {
        const auto& t = configuration->task;
        if (i < t.image.size()) list[i].image = vis->loadTexture(t.image[i].c_str(), false);
        if (i < t.additionalImage.size())
            list[i].additionalImage = vis->loadTexture(t.additionalImage[i].c_str(), false);
    }
    tasks.setTasks(std::move(list));
}

bool QTRuduzozovorERUWidgetGL::hasCanvas() const
{
    const RuduzozovorERUVisGL* app = getApplicationVis();
    return app && app->findFirst<CanvasCompositeGL>();
}

void QTRuduzozovorERUWidgetGL::clearTaskAreas()
{
    if (RuduzozovorERUVisGL* app = getApplicationVis())
        if (CanvasCompositeGL* canvas = app->findFirst<CanvasCompositeGL>()) {
            canvas->clearTaskAreas();
            canvas->setTaskDescription(nullptr);
        }
}

void QTRuduzozovorERUWidgetGL::setCanvasTask(unsigned int position)
{
    if (RuduzozovorERUVisGL* app = getApplicationVis())
        if (CanvasCompositeGL* canvas = app->findFirst<CanvasCompositeGL>()) {
            canvas->setTaskDescription(&tasks.shownTask());
            canvas->setTask(static_cast<int>(position));
        }
}

int QTRuduzozovorERUWidgetGL::tableWidth() const
{
    return static_cast<int>(configuration->mainwindow.width);
}

int QTRuduzozovorERUWidgetGL::tableHeight() const
{
    return static_cast<int>(configuration->mainwindow.height);
}

void QTRuduzozovorERUWidgetGL::buildTargetAreas(const TaskDescription& t)
{
    shownTargetAreas = {targetAreaLists.size(), 0};
    for (int i = 0; i < t.numberOfTargetAreas; ++i) {
        const auto a = static_cast<std::size_t>(i);
        const double r = std::trunc(t.diameter[a] * 0.5);
        const GLuint list = glGenLists(1);
        if (list == 0) return;
        glNewList(list, GL_COMPILE);
        GLint shadeModel = GL_SMOOTH;
        glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
        glShadeModel(GL_FLAT);
        glPushAttrib(GL_COLOR_BUFFER_BIT | GL_ENABLE_BIT);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glColor4f(0.0f, 1.0f, 0.0f, 0.2f);
        targetAreaShape(t.startX[a], t.startY[a], t.endX[a], t.endY[a], r, false);
        glLineWidth(5.0f);
        glColor4f(1.0f, 0.5f, 0.0f, 0.7f);
        targetAreaShape(t.startX[a], t.startY[a], t.endX[a], t.endY[a], r, true);
        glPopMatrix();
        glPopAttrib();
        glShadeModel(static_cast<GLenum>(shadeModel));
        glEndList();
        targetAreaLists.push_back(list);
        ++shownTargetAreas.second;
    }
}

void QTRuduzozovorERUWidgetGL::recordPrimitives()
{
    RuduzozovorERUVisGL* app = getApplicationVis();
    CanvasCompositeGL* canvas = app ? app->findFirst<CanvasCompositeGL>() : nullptr;
    if (!canvas) return;
    PrimitiveLogger& logger = PrimitiveLogger::instance();
    for (const auto& entry : *canvas->getMyChildren()) {
        const auto* p = dynamic_cast<const PrimitiveLeafGL*>(entry.second);
        if (!p) continue;
        logger.record(p->getId(),
                      insideAnyTargetArea(tasks.shownTask(), p->getXPos(), p->getYPos()),
                      p->getXPos(), p->getYPos(), p->getWidth(), p->getHeight(), p->getRotation(),
                      p->isQueuedForDeletion());
    }
}

void QTRuduzozovorERUWidgetGL::compileTextBackdrop()
{
    // The band spans the table as configured; drawTaskOverlay places it at the top of the
    // drawing surface, which a desktop window's menus and status bar make lower than the table.
    const double w = configuration->mainwindow.width;
    const double h = configuration->mainwindow.height;
    textBackdropList = glGenLists(1);
    if (textBackdropList == 0) return;
    glNewList(textBackdropList, GL_COMPILE);
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_ENABLE_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 0.9f);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glBegin(GL_QUADS);
    glVertex2d(250.0, h - 70.0);
    glVertex2d(250.0, h);
    glVertex2d(w - 150.0, h);
    glVertex2d(w - 150.0, h - 70.0);
    glEnd();
    glPopMatrix();
    glDisable(GL_BLEND);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glPopAttrib();
    glEndList();
}

void QTRuduzozovorERUWidgetGL::drawTaskOverlay()
{
    const bool showsTask = (tasks.isTaskRunning() || tasks.isSequenceEnd()) && !tasks.allTasksDone();
    if (tasks.isTaskMode() && tasks.isTaskRunning() && !tasks.isSequenceEnd())
        for (std::size_t i = 0; i < shownTargetAreas.second; ++i)
            glCallList(targetAreaLists[shownTargetAreas.first + i]);
    std::string text;
    if (tasks.isTaskMode() && tasks.allTasksDone())
        text = allTasksDoneText.toStdString();
    else if (showsTask)
        text = tasks.taskText().empty() ? noTaskText.toStdString() : tasks.taskText();
    else if (tasks.isTaskMode())
        text = pressToBeginText.toStdString();
    if (text.empty()) return;
    auto* glVis = dynamic_cast<TabletopVisGL*>(vis);
    FTTextureFont* font = glVis ? glVis->getFont("arial72") : nullptr;
    const double top = std::min<double>(framebufferHeight(), configuration->mainwindow.height);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(0.0, top - configuration->mainwindow.height, 0.0);
    if (textBackdropList) glCallList(textBackdropList);
    glPopMatrix();
    if (!font) return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(270.0, top - 50.0, 0.0);
    glScaled(0.45, 0.45, 1.0);
    font->Render(text.c_str());
    glPopMatrix();
    glPopAttrib();
}

void QTRuduzozovorERUWidgetGL::logTouch(int event, int x, int y, int width, int height)
{
    if (tasks.isTaskRunning()) DirectTouchLogger::instance().record(event, x, y, width, height);
}

// ---------------------------------------------------------------------------------------------
// Wii remotes

ToolBrushLeafGL* QTRuduzozovorERUWidgetGL::firstToolBrush() const
{
    const RuduzozovorERUVisGL* app = getApplicationVis();
    const CanvasCompositeGL* canvas = app ? app->findFirst<CanvasCompositeGL>() : nullptr;
    return canvas && canvas->getNumberOfToolBrushes() > 0 ? canvas->getToolBrush(0) : nullptr;
}

bool QTRuduzozovorERUWidgetGL::toBrushCell(double x, double y, int& cx, int& cy) const
{
    const RuduzozovorERUVisGL* app = getApplicationVis();
    const CanvasCompositeGL* canvas = app ? app->findFirst<CanvasCompositeGL>() : nullptr;
    if (!canvas) return false;
    double lx = 0.0, ly = 0.0;
    canvas->getLocalCoordinates(x, y, canvas->getWidth(), canvas->getHeight(), &lx, &ly);
    cx = static_cast<int>(std::lround(lx / canvas->getXScale() + 1.0));
    cy = static_cast<int>(std::lround(ly / canvas->getYScale() + 1.0));
    return true;
}

void QTRuduzozovorERUWidgetGL::wiiPointer(int x, int y, unsigned int& px, unsigned int& py) const
{
    if (configuration->wii.use_joystick_for_pointing) {
        px = static_cast<unsigned int>(std::clamp(pointerPositions[0], 0.0f, float(framebufferWidth())));
        py = static_cast<unsigned int>(std::clamp(pointerPositions[1], 0.0f, float(framebufferHeight())));
    } else {
        px = static_cast<unsigned int>(std::max(0, x));
        py = static_cast<unsigned int>(std::max(0, y));
    }
}

void QTRuduzozovorERUWidgetGL::wiiPress(int x, int y, unsigned int device, WiiButtons& wentDown,
                                        WiiCommunicationData& sample)
{
    RuduzozovorERUVisGL* app = getApplicationVis();
    if (!app || !app->admitPointer(device)) return;
    pointerPositions[2] = static_cast<float>(x);
    pointerPositions[3] = static_cast<float>(y);
    if (tasks.isTaskRunning()) {
        WiimoteLogger::instance().record(sample);
        for (auto b : wentDown)
            if (b == WiiCommunicationData::C || b == WiiCommunicationData::Z)
                NunchukLogger::instance().record(sample.nunchuk());
    }
    const int combo = app->getInputCombo();
    if (combo >= 3 && combo <= 6) {
        forwardWii(*app, device, wentDown, sample);
        return;
    }
    if (combo != 0 && combo != 1) return;
    forwardWii(*app, device, wentDown, sample);
    const float scale = static_cast<float>(configuration->toolglass.diameter_scale_speed);
    for (auto b : wentDown) {
        if (b == WiiCommunicationData::B) {
            unsigned int px = 0, py = 0;
            wiiPointer(x, y, px, py);
            // A remote reports no contact: it touches like one finger, as the mouse does.
            const double side = fingerContactSide();
            app->setTouchBoundHeight(static_cast<int>(device), side);
            app->setTouchBoundWidth(static_cast<int>(device), side);
            app->devicePress(px, py, 0, device);
        } else if (b == WiiCommunicationData::Z) {
            if (ToolBrushLeafGL* brush = firstToolBrush())
                brush->changeDiameterBy(-(sample.nunchuk().joyY * scale), true);
        } else if (b == WiiCommunicationData::PLUS) {
            emit wiiUseStrokesAsRenderingElements();
        } else if (b == WiiCommunicationData::MINUS) {
            emit wiiDeleteStrokes();
        } else if (b == WiiCommunicationData::HOME) {
            emit wiiToggleBuildCanvas();
        }
    }
}

void QTRuduzozovorERUWidgetGL::wiiRelease(int x, int y, unsigned int device, WiiButtons& wentUp,
                                          WiiCommunicationData& sample)
{
    RuduzozovorERUVisGL* app = getApplicationVis();
    if (!app || !app->admitPointer(device)) return;
    const int combo = app->getInputCombo();
    const float scale = static_cast<float>(configuration->toolglass.diameter_scale_speed);
    bool startNext = false;
    for (auto b : wentUp) {
        if (b == WiiCommunicationData::B) {
            unsigned int px = 0, py = 0;
            wiiPointer(x, y, px, py);
            app->deviceRelease(px, py, 0, device);
        } else if (b == WiiCommunicationData::C) {
            if (ToolBrushLeafGL* brush = firstToolBrush())
                brush->changeDiameterBy(sample.nunchuk().joyY * scale, true);
        } else if (b == WiiCommunicationData::Z && tasks.isTaskMode() && combo >= 3 && combo <= 6) {
            startNext = true;
        }
    }
    if (startNext) startTask();
    forwardWii(*app, device, wentUp, sample);
}

void QTRuduzozovorERUWidgetGL::wiiMove(int x, int y, unsigned int device, WiiButtons& wentDown,
                                       WiiCommunicationData& sample)
{
    RuduzozovorERUVisGL* app = getApplicationVis();
    if (!app || !app->admitPointer(device)) return;
    pointerPositions[2] = static_cast<float>(x);
    pointerPositions[3] = static_cast<float>(y);
    forwardWii(*app, device, wentDown, sample);
    app->deviceMove(static_cast<unsigned int>(std::max(0, x)),
                    static_cast<unsigned int>(std::max(0, y)), 0, device);
    // No stroke build canvas is open: the tool brush follows the remote.
    ToolBrushLeafGL* brush = firstToolBrush();
    int cx = 0, cy = 0;
    if (brush && toBrushCell(x, y, cx, cy)) {
        if (!brush->isActive()) brush->setActive(true);
        brush->moveToPosition(cx, cy);
    }
}

void QTRuduzozovorERUWidgetGL::wiiPoint(int dx, int dy, unsigned int device, WiiButtons& wentDown,
                                        WiiCommunicationData& sample, bool)
{
    RuduzozovorERUVisGL* app = getApplicationVis();
    if (!app || !app->admitPointer(device)) return;
    const int combo = app->getInputCombo();
    if (combo < 0 || combo > 2) {
        if (combo <= 6) forwardWii(*app, device, wentDown, sample);
        return;
    }
    forwardWii(*app, device, wentDown, sample);
    if (!configuration->wii.use_joystick_for_pointing) return;
    joystick.x = pointerPositions[0];
    joystick.y = pointerPositions[1];
    const auto border = joystick.step(dx, dy, framebufferWidth(), framebufferHeight());
    pointerPositions[0] = joystick.x;
    pointerPositions[1] = joystick.y;
    if (border == WiiJoystickPointer::Border::Entered && borderSender) borderSender(false);
    if (border == WiiJoystickPointer::Border::Left && borderSender) borderSender(true);
    app->deviceMove(static_cast<unsigned int>(joystick.x), static_cast<unsigned int>(joystick.y),
                    0, device);
    app->resizeTouchIndicator(device);
}

void QTRuduzozovorERUWidgetGL::forwardWii(RuduzozovorERUVisGL& app, unsigned int device,
                                          WiiButtons& buttons, WiiCommunicationData& sample)
{
    const bool pointing = app.getInputCombo() == 6 && sample.b;
    if (pointing) {
        wiiPointing.insert(device);
        history.holdGesture(true);
    }
    app.wiimoteEvent(configuration->userdata.number, buttons, sample);
    // After the canvas handled the release: the gesture ends with the next frame.
    if (!pointing && wiiPointing.erase(device) > 0 && wiiPointing.empty()) history.holdGesture(false);
}

void QTRuduzozovorERUWidgetGL::wiiModeFlag(bool on)
{
    if (RuduzozovorERUVisGL* app = getApplicationVis())
        if (CanvasCompositeGL* canvas = app->findFirst<CanvasCompositeGL>())
            canvas->setWiiModeFlag(on);
}

void QTRuduzozovorERUWidgetGL::wiiCreateObjects(int count)
{
    ToolBrushLeafGL* brush = firstToolBrush();
    if (!brush || count <= 0) return;
    const bool joystickPointing = configuration->wii.use_joystick_for_pointing;
    const double x = joystickPointing ? pointerPositions[0] : pointerPositions[2];
    const double y = joystickPointing ? pointerPositions[1] : pointerPositions[3];
    int cx = 0, cy = 0;
    if (!toBrushCell(x, y, cx, cy)) return;
    makeCurrent();
    brush->moveToPosition(cx, cy);
    brush->createPrimitivesAround(count);
    doneCurrent();
    if (auto* canvas = dynamic_cast<CanvasCompositeGL*>(brush->getParent())) canvas->markChanged();
    emitStatus();
}

void QTRuduzozovorERUWidgetGL::wiiEraseObjects(float radius)
{
    RuduzozovorERUVisGL* app = getApplicationVis();
    CanvasCompositeGL* canvas = app ? app->findFirst<CanvasCompositeGL>() : nullptr;
    if (!canvas || !firstToolBrush()) return;
    const bool joystickPointing = configuration->wii.use_joystick_for_pointing;
    const double x = joystickPointing ? pointerPositions[0] : pointerPositions[2];
    const double y = joystickPointing ? pointerPositions[1] : pointerPositions[3];
    canvas->eraseChildrenWithin(x, y, radius);
    canvas->markChanged();
}
