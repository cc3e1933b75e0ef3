#include "app/Wiring.h"

#include "platform/model/Application.h"

#if __has_include("stage/frmStage.h")
#include "stage/frmStage.h"
#define QV_HAS_STAGE 1
#endif
#if __has_include("screens/frmTitle.h")
#include "screens/frmTitle.h"
#define QV_HAS_TITLE 1
#endif
#if __has_include("screens/frmMenu.h")
#include "screens/frmMenu.h"
#define QV_HAS_MENU 1
#endif
#if __has_include("screens/frmZone.h")
#include "screens/frmZone.h"
#define QV_HAS_ZONE 1
#endif
#if __has_include("screens/frmRecord.h")
#include "screens/frmRecord.h"
#define QV_HAS_RECORD 1
#endif
#if __has_include("screens/frmOption.h")
#include "screens/frmOption.h"
#define QV_HAS_OPTION 1
#endif
#if __has_include("screens/frmResults.h")
#include "screens/frmResults.h"
#define QV_HAS_RESULTS 1
#endif
#if __has_include("screens/frmNentry.h")
#include "screens/frmNentry.h"
#define QV_HAS_NENTRY 1
#endif
#if __has_include("screens/frmCertif.h")
#include "screens/frmCertif.h"
#define QV_HAS_CERTIF 1
#endif

namespace wiring {

void registerAllForms(ui::Application& app)
{
#ifdef QV_HAS_STAGE
    app.registerForm<frmStage>();
#endif
#ifdef QV_HAS_TITLE
    app.registerForm<frmTitle>();
#endif
#ifdef QV_HAS_MENU
    app.registerForm<frmMenu>();
#endif
#ifdef QV_HAS_ZONE
    app.registerForm<frmZone>();
#endif
#ifdef QV_HAS_RECORD
    app.registerForm<frmRecord>();
#endif
#ifdef QV_HAS_OPTION
    app.registerForm<frmOption>();
#endif
#ifdef QV_HAS_RESULTS
    app.registerForm<frmResults>();
#endif
#ifdef QV_HAS_NENTRY
    app.registerForm<frmNentry>();
#endif
#ifdef QV_HAS_CERTIF
    app.registerForm<frmCertif>();
#endif
    (void)app;
}

} // namespace wiring
