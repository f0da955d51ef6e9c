#pragma once

// Runs the current test again in a child process whose process locale is the
// given one, as the program gets it at its start (LC_ALL and LANG set; the
// child's main sets the process locale and Qt's default from them). The child
// knows itself by LocaleChild() and may write what it makes into the folder
// it gets from ChildFolder(). Header only, so any test program can use it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace tavisol::testsupport {

inline constexpr const char *LocaleChildVariable = "TAVISOL_TEST_LOCALE_CHILD";

// The locale this process runs the test in as a child, or empty in the parent.
inline std::string LocaleChild() {
    const char *v = std::getenv(LocaleChildVariable);
    return v ? v : "";
}

inline constexpr const char *ChildFolderVariable = "TAVISOL_TEST_CHILD_FOLDER";

inline std::filesystem::path ChildFolder() {
    const char *v = std::getenv(ChildFolderVariable);
    return v ? v : "";
}

// True when the child ran the current test (and only it) and it passed. Its
// output goes where the parent's goes.
inline bool RunTestInLocale(const std::string &locale, const std::filesystem::path &folder = {}) {
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter = std::string("--gtest_filter=") + info->test_suite_name() + "." + info->name();
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::vector<std::string> env;
    for (char **e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("LC_", 0) != 0 && entry.rfind("LANG=", 0) != 0 && entry.rfind("LANGUAGE=", 0) != 0 &&
            entry.rfind(LocaleChildVariable, 0) != 0 && entry.rfind(ChildFolderVariable, 0) != 0)
            env.push_back(entry);
    }
    env.push_back("LC_ALL=" + locale);
    env.push_back("LANG=" + locale);
    env.push_back(std::string(LocaleChildVariable) + "=" + locale);
    env.push_back(std::string(ChildFolderVariable) + "=" + folder.string());
    std::vector<char *> envp;
    for (std::string &e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string arg0 = self, arg1 = filter;
    char *argv[] = {arg0.data(), arg1.data(), nullptr};
    const pid_t child = ::fork();
    if (child == 0) {
        ::execve(self.c_str(), argv, envp.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace tavisol::testsupport
