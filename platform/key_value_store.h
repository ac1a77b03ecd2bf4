#pragma once
// The program's persistent settings that live outside its install directory (the install
// path and the last reported hardware profile): named values in one text file under the
// user's configuration directory. Names are paths such as "HWProfile/totalRAMInMB". Each
// call reads or rewrites the file, so concurrent copies of the program see each other's
// writes.
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

class KeyValueStore {
public:
    // A store in the given file; the default is "settings.txt" in UserConfigDirectory().
    explicit KeyValueStore(std::string path);
    // The store in the user configuration directory as it is now.
    static KeyValueStore Default();

    const std::string& Path() const { return path_; }

    std::optional<std::string> GetString(const std::string& name) const;
    bool SetString(const std::string& name, const std::string& value);
    // Binary values are kept as hexadecimal text; a value that is not well-formed hex reads
    // as missing.
    std::optional<std::vector<u8>> GetBinary(const std::string& name) const;
    bool SetBinary(const std::string& name, const std::vector<u8>& value);
    bool Remove(const std::string& name);

private:
    std::string path_;
};

}  // namespace platform
