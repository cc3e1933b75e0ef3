#include "app/Wiring.h"

#include "platform/model/Application.h"
#include "screens/frmCertif.h"
#include "screens/frmMenu.h"
#include "screens/frmNentry.h"
#include "screens/frmOption.h"
#include "screens/frmRecord.h"
#include "screens/frmResults.h"
#include "screens/frmTitle.h"
#include "screens/frmZone.h"
#include "stage/frmStage.h"

namespace wiring {

void registerAllForms(ui::Application& app)
{
    app.registerForm<frmTitle>();
    app.registerForm<frmMenu>();
    app.registerForm<frmZone>();
    app.registerForm<frmOption>();
    app.registerForm<frmStage>();
    app.registerForm<frmResults>();
    app.registerForm<frmNentry>();
    app.registerForm<frmRecord>();
    app.registerForm<frmCertif>();
}

} // namespace wiring
