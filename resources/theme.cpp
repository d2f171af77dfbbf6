#include "theme.h"

QString orangeButtonSheet(const QString &objectName)
{
    return QStringLiteral(
               "#%1 {\n"
               " color: black;\n"
               "font-size: 12px;\n"
               "font-weight:bold;\n"
               " border: 2px solid #000000;\n"
               " border-radius: 11px;\n"
               " padding: 5px;\n"
               " background: qradialgradient(cx: 0.3, cy: -0.4,\n"
               " fx: 0.3, fy: -0.4,\n"
               " radius: 1.35, stop: 0 #fff, stop: 1 #EA8500);\n"
               " min-width: 80px;\n"
               " }\n"
               "\n"
               "#%1:hover {\n"
               " background: qradialgradient(cx: 0.3, cy: -0.4,\n"
               " fx: 0.3, fy: -0.4,\n"
               " radius: 1.35, stop: 0 #fff, stop: 1 #bbb);\n"
               " }\n"
               "\n"
               "#%1:pressed {\n"
               " background: qradialgradient(cx: 0.4, cy: -0.1,\n"
               " fx: 0.4, fy: -0.1,\n"
               " radius: 1.35, stop: 0 #fff, stop: 1 #ddd);\n"
               " }")
        .arg(objectName);
}
