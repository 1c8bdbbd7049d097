#include "login/SignInResult.h"

SignInResult SignInResultOf(int exitCode) {
    if (exitCode < 0) return SignInResult::NotStarted;
    if (exitCode == 0) return SignInResult::Unreachable;
    if (exitCode == 202 || exitCode == 700) return SignInResult::SignedIn;
    return SignInResult::Refused;
}
