#include "login/SignInResult.h"

#include "common/suite/SuiteContract.h"

SignInResult SignInResultOf(int exitCode) {
    if (exitCode < 0) return SignInResult::NotStarted;
    if (exitCode == kZorvaneHostsFailed) return SignInResult::Unreachable;
    if (exitCode == kZorvaneHostsGoodAccount || exitCode == kZorvaneHostsListDelivered) return SignInResult::SignedIn;
    return SignInResult::Refused;
}
