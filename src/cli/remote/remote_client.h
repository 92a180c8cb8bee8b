// Calls one request of a running zoduz over the session bus, for "zoduz-cli remote". The
// header is free of Qt so that the rest of zoduz-cli stays so.
#pragma once

#include <optional>
#include <string>

struct RemoteReply {
    enum class Status {
        kDone,        // zoduz carried the request out
        kRefused,     // zoduz answered with one of its refusals (message says which)
        kNoBus,       // no session bus to talk on
        kNotRunning,  // nobody owns the zoduz service name
        kFailed,      // any other bus error (message says which)
    };
    Status status = Status::kFailed;
    std::string errorName;  // the bus error name, "" when done
    std::string message;    // the error's text, "" when done
};

// Calls method (SetRecordFileName, SetRecordFolder, Start, Stop, Export) with its one string
// argument when given, and waits for the answer.
RemoteReply CallRemote(const std::string& method, const std::optional<std::string>& argument);
