#pragma once
// What the host page and the IP page read fresh before they fill their lists, and the account their worker
// programs run with.
#include <string>

// update_list.xml read again from its file, so that changes other programs made show.
void ReloadUpdateList();
// host_list.xml read again, from its file or, when none was ever read, from <root>\etc\host_list.xml (the
// host-list updater writes it there). True when the document holds the host list the service delivered
// (result code 700), read now or earlier: an error reply (a refused sign-in, maintenance) is stored too, and
// lists no host although the account has them.
bool ReloadHostList();

struct SignedInAccount {
    std::wstring id;
    std::wstring password;
};
// The account of the shared user-data block (empty texts when nobody is signed in); false when the block
// cannot be opened.
bool ReadSignedInAccount(SignedInAccount& account);
