#include "about.h"
#include "ui_about.h"

#include "artwork.h"
#include "dragging.h"
#include "nativedesktop.h"
#include "screenpictures.h"
#include "theme.h"

namespace {
const char stripPicture[] = ":/Bilder/lcarsinfo.png";
}

About::About(QWidget *parent)
    : QDialog(parent),
      ui(new Ui::About)
{
    // Replacing all flags also drops the dialog type: no title bar, no frame.
    setWindowFlags(Qt::FramelessWindowHint);
    ui->setupUi(this);
    setWindowIcon(programIcon());
    showPicturesPerScreen(this, [this] {
        const QPixmap strip = picture(QLatin1String(stripPicture), this);
        ui->label_2->setPixmap(strip);
        ui->label_3->setPixmap(strip);
    });
    addTaskbarControls(this);
    setStyleSheet(blackBackgroundSheet.text);
    ui->label->setStyleSheet(infoTextSheet);
    ui->Schliessen->setStyleSheet(orangeButtonSheet(ui->Schliessen->objectName()));
}

About::~About()
{
    delete ui;
}

void About::mousePressEvent(QMouseEvent *event)
{
    startDrag(this, event, &dragPosition);
}

void About::mouseMoveEvent(QMouseEvent *event)
{
    continueDrag(this, event, dragPosition);
}
