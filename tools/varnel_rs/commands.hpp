// The subcommands of varnel-rs. Each takes the arguments after its name and
// returns the exit status; failures exit with status 1.
#pragma once

#include <string>
#include <vector>

namespace varnel_rs {

int Pack(const std::vector<std::string>& args, const char* usage);
int List(const std::vector<std::string>& args, const char* usage);
int Extract(const std::vector<std::string>& args, const char* usage);
int Unpack(const std::vector<std::string>& args, const char* usage);
int Verify(const std::vector<std::string>& args, const char* usage);
int Check(const std::vector<std::string>& args, const char* usage);

}  // namespace varnel_rs
