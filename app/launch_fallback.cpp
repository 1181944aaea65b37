#include "app/launch_fallback.h"

StartOutcome AfterDirectStart(uint32_t error) {
    if (error == 0) {
        return StartOutcome::Started;
    }
    return error == kErrorElevationRequired ? StartOutcome::AskConsent : StartOutcome::Failed;
}

StartOutcome AfterShellStart(uint32_t error) {
    if (error == 0) {
        return StartOutcome::Started;
    }
    return error == kErrorCancelled ? StartOutcome::Refused : StartOutcome::Failed;
}
