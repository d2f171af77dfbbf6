#include "screenpictures.h"

#include "artwork.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace {

class ScreenPictures : public QObject
{
public:
    ScreenPictures(QWidget *window, std::function<void()> showPictures)
        : QObject(window), window(window), showPictures(std::move(showPictures))
    {
        window->installEventFilter(this);
        showForScreen();
    }

protected:
    // A window's screen can be followed once Qt has made its native window, when it is first
    // shown; it may then stand on another screen than the one its pictures were chosen for.
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::WinIdChange && window->windowHandle()) {
            connect(window->windowHandle(), &QWindow::screenChanged, this, &ScreenPictures::followScreen,
                    Qt::UniqueConnection);
            followScreen(window->windowHandle()->screen());
        }
        return false;
    }

private:
    void followScreen(QScreen *screen)
    {
        disconnect(scaleChange);
        if (screen)
            scaleChange = connect(screen, &QScreen::logicalDotsPerInchChanged, this, &ScreenPictures::showForScreen);
        showForScreen();
    }

    // Pictures are read and resized only for a density they were not made for yet.
    void showForScreen()
    {
        const qreal ratio = screenRatio(window);
        if (ratio == shownRatio)
            return;
        shownRatio = ratio;
        showPictures();
    }

    QWidget *window;
    std::function<void()> showPictures;
    QMetaObject::Connection scaleChange;
    qreal shownRatio = 0;
};

} // namespace

void showPicturesPerScreen(QWidget *window, std::function<void()> showPictures)
{
    new ScreenPictures(window, std::move(showPictures));
}
