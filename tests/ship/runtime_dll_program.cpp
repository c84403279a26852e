// Linked on purpose against MinGW's run-time DLLs (the compiler's default without -static):
// the program that the import check must refuse. It is never run.
#include <stdexcept>
#include <string>

int main(int argc, char** argv) {
  try {
    if (argc > 1) throw std::runtime_error(std::string("argument: ") + argv[1]);
  } catch (const std::exception& e) {
    return static_cast<int>(std::string(e.what()).size());
  }
  return 0;
}
