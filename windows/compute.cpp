#include "compute.h"
#include "ui_compute.h"

#include "artwork.h"
#include "captions.h"
#include "copymenu.h"
#include "dragging.h"
#include "inputform.h"
#include "nativedesktop.h"
#include "patterns.h"
#include "screenpictures.h"
#include "stardate.h"
#include "theme.h"

#include <QValidator>

namespace {

const char stripPicture[] = ":/Bilder/lcarscompute.png";

QString outputHeading(const QString &input)
{
    return Compute::tr("Ausgabe von %1 ist:").arg(input);
}

// A result that comes out empty leaves its prefix standing alone.
QString ownFormatLine(const QString &result)
{
    return Compute::tr(ownResultPrefix) + result;
}

QString formulaLine(const QString &result)
{
    return Compute::tr(formulaResultPrefix) + result;
}

} // namespace

Compute::Compute(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Compute)
{
    setWindowFlags(Qt::FramelessWindowHint);
    ui->setupUi(this);
    setWindowIcon(programIcon());
    showPicturesPerScreen(this, [this] {
        const QPixmap strip = picture(QLatin1String(stripPicture), this);
        ui->label->setPixmap(strip);
        ui->label_2->setPixmap(strip);
    });
    addTaskbarControls(this);
    setStyleSheets();

    // Made once and swapped in per conversion: the dialog stays open all day.
    dateValidator = new InputFormValidator(inputForm(QLatin1String(dateInputPattern)), ui->lineEdit);
    ownStardateValidator = new InputFormValidator(inputForm(QLatin1String(ownStardateInputPattern)), ui->lineEdit);

    connect(ui->checkBox, SIGNAL(stateChanged(int)), this, SLOT(changecheckBox()));
    connect(ui->checkBox_2, SIGNAL(stateChanged(int)), this, SLOT(changecheckBox2()));
    connect(ui->checkBox_3, SIGNAL(stateChanged(int)), this, SLOT(changecheckBox3()));
    connect(ui->checkBox_4, SIGNAL(stateChanged(int)), this, SLOT(changecheckBox4()));
    connect(ui->Computes, SIGNAL(clicked()), this, SLOT(computes()));

    // A line with an empty result is its caption alone.
    new CopyMenu(ui->label_7, ownFormatLine(QString()));
    new CopyMenu(ui->label_8, formulaLine(QString()));
}

Compute::~Compute()
{
    delete ui;
}

void Compute::setStyleSheets()
{
    setStyleSheet(blackBackgroundSheet.variant);
    ui->label_3->setStyleSheet(whiteOnBlack16Sheet.text);
    ui->lineEdit->setStyleSheet(whiteOnBlackSheet);
    ui->groupBox->setStyleSheet(white14Sheet);
    ui->checkBox_2->setStyleSheet(white16Sheet.text);
    ui->checkBox_4->setStyleSheet(white16Sheet.variant);
    ui->groupBox_2->setStyleSheet(white14Sheet);
    ui->checkBox->setStyleSheet(white16Sheet.variant);
    ui->checkBox_3->setStyleSheet(white16Sheet.variant);
    ui->label_6->setStyleSheet(whiteOnBlack16Sheet.text);
    ui->label_7->setStyleSheet(whiteOnBlack16Sheet.variant);
    ui->label_8->setStyleSheet(whiteOnBlack16Sheet.variant);
    ui->Computes->setStyleSheet(orangeButtonSheet(ui->Computes->objectName()));
    ui->Schliessen->setStyleSheet(orangeButtonSheet(ui->Schliessen->objectName()));
    ui->label_9->setStyleSheet(whiteOnBlack16Sheet.variant);
}

void Compute::mousePressEvent(QMouseEvent *event)
{
    startDrag(this, event, &dragPosition);
}

void Compute::mouseMoveEvent(QMouseEvent *event)
{
    continueDrag(this, event, dragPosition);
}

// The dialog is only hidden, never deleted, and must come back empty.
void Compute::closeEvent(QCloseEvent *)
{
    ui->lineEdit->clear();
    clearOutput();
    uncheckAllBoxes();
    ui->lineEdit->setValidator(nullptr);
}

void Compute::changecheckBox()
{
    followFormat(ui->checkBox, ui->checkBox_3);
}

void Compute::changecheckBox2()
{
    followDirection(ui->checkBox_2, ui->checkBox_4);
}

void Compute::changecheckBox3()
{
    followFormat(ui->checkBox_3, ui->checkBox);
}

void Compute::changecheckBox4()
{
    followDirection(ui->checkBox_4, ui->checkBox_2);
}

// One direction at a time. Leaving a direction clears the formats too, so every way out ends
// with all boxes off and free.
void Compute::followDirection(QCheckBox *direction, QCheckBox *otherDirection)
{
    if (direction->isChecked()) {
        otherDirection->setCheckable(false);
    } else {
        otherDirection->setCheckable(true);
        ui->checkBox->setChecked(false);
        ui->checkBox_3->setChecked(false);
    }
}

// A stardate is read back in one kind at a time, so with "Sternzeit->Datum" on, a chosen format
// locks the other one. A box is locked only once it is off, so locking never swallows a check
// mark unannounced; turning it off runs its own rule first.
void Compute::followFormat(QCheckBox *format, QCheckBox *otherFormat)
{
    if (ui->checkBox_4->isChecked() && format->isChecked()) {
        otherFormat->setChecked(false);
        otherFormat->setCheckable(false);
    } else {
        otherFormat->setCheckable(true);
    }
}

void Compute::computes()
{
    clearOutput();
    const QString input = ui->lineEdit->text();
    if (!input.isEmpty() && ui->checkBox_2->isChecked())
        convertDate(input);
    if (!input.isEmpty() && ui->checkBox_4->isChecked())
        convertStardate(input);

    // Every conversion starts from an empty field with no box ticked.
    ui->lineEdit->clear();
    uncheckAllBoxes();
    ui->lineEdit->setValidator(nullptr);
}

void Compute::convertDate(const QString &input)
{
    ui->lineEdit->setValidator(dateValidator);
    if (!ui->lineEdit->hasAcceptableInput())
        return;
    const std::optional<Stardates> stardates = stardatesOfDateInput(input);
    if (!stardates)
        return;

    if (ui->checkBox->isChecked())
        ui->label_7->setText(ownFormatLine(stardates->own));
    if (ui->checkBox_3->isChecked())
        ui->label_8->setText(formulaLine(stardates->formula));
    ui->label_6->setText(outputHeading(input));
}

void Compute::convertStardate(const QString &input)
{
    ui->lineEdit->setValidator(ownStardateValidator);
    if (ui->checkBox->isChecked() && ui->lineEdit->hasAcceptableInput())
        ui->label_7->setText(ownFormatLine(dateFromOwnStardate(input)));
    // Any number is a formula stardate; its reading sorts out the rest.
    if (ui->checkBox_3->isChecked())
        ui->label_8->setText(formulaLine(dateFromFormulaStardate(input)));
    ui->label_6->setText(outputHeading(input));
}

void Compute::clearOutput()
{
    ui->label_6->setText(QStringLiteral("Ausgabe:"));
    ui->label_7->clear();
    ui->label_8->clear();
}

// Each box's rule runs as it goes off, before the next one is touched.
void Compute::uncheckAllBoxes()
{
    ui->checkBox->setChecked(false);
    ui->checkBox_2->setChecked(false);
    ui->checkBox_3->setChecked(false);
    ui->checkBox_4->setChecked(false);
}
