// Test helpers: a temporary folder removed at the end of the test, fixture paths.
#pragma once

#include <string>

namespace testing_support {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string file(const std::string& name) const;

private:
    std::string path_;
};

// A file under tests/fixtures, or under the shared Jet fixtures.
std::string fixturePath(const std::string& name);
std::string jetFixturePath(const std::string& name);

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

}  // namespace testing_support
