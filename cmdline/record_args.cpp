// A test program: writes its working folder and its arguments, one per line after a line with
// their count, to the file named by RECORD_ARGS_OUT. The file appears complete or not at all
// (written beside it, then renamed), so a test can wait for it.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  const char* out = std::getenv("RECORD_ARGS_OUT");
  if (!out || !*out) return 2;
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return 3;
  const std::string partial = std::string(out) + ".part";
  {
    std::ofstream file(partial, std::ios::binary);
    file << cwd << '\n' << argc - 1 << '\n';
    for (int i = 1; i < argc; ++i) file << argv[i] << '\n';
    if (!file) return 4;
  }
  return std::rename(partial.c_str(), out) == 0 ? 0 : 5;
}
