#include "app/app_pictures.h"

#include <QtCore/qglobal.h>

void InitAppResources()
{
    Q_INIT_RESOURCE(app);
}
