#pragma once
// What one account check came to, read from the host-list updater's exit code.

enum class SignInResult : int {
    NotStarted = -1,   // the host-list updater could not be started
    Unreachable = 0,   // the service was out of reach
    SignedIn = 1,      // the service accepted the account
    Refused = 2,       // the service refused the account
};

// A negative run result means the program did not start; 0 that it could not reach the service; 202 and 700
// that the account is good; any other code that it was refused.
SignInResult SignInResultOf(int exitCode);
