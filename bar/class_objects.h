// The components the program serves itself (the user-interface engine, the log and its
// entries): their class table, their class objects registered in the process for the run, and
// their registry records for the "RegServer" and "UnregServer" switches.
#pragma once

#include <string>
#include <vector>

#include "common/vok_object.h"

namespace vok::bar {

// The program's class table, ended by a null row. The options page joins it when it exists.
extern const ClassEntry kProgramClasses[];

// The application identifier of the program's local-server classes.
extern const GUID kProgramAppId;

// Makes the classes of a table creatable by class identifier in this process, so that the
// container creates the user-interface engine, and the log creates its entries, like any other
// component and gets the instances inside the program. Revoked on destruction.
class ProgramClassObjects {
 public:
  ProgramClassObjects() = default;
  ProgramClassObjects(const ProgramClassObjects&) = delete;
  ProgramClassObjects& operator=(const ProgramClassObjects&) = delete;
  ~ProgramClassObjects() { Revoke(); }

  // Registers a class object for every row of `table`; on a failure the ones registered so
  // far are revoked again and the failure returned.
  HRESULT Register(const ClassEntry* table = kProgramClasses);
  void Revoke();

 private:
  std::vector<DWORD> cookies_;
};

// The program file (/proc/self/exe resolved); the server path of the registry records.
std::string ProgramFile();

// Writes the registry records of every program class with `programPath` as server: the class
// keys (in-process for the engine, local server with the application identifier for the log
// and its entries), the ProgIDs, the application identifier named "vokUI" and the key of the
// executable's file name pointing at it.
HRESULT RegisterProgramServer(const std::string& programPath);
// Removes what RegisterProgramServer wrote; the shared CLSID and AppID roots stay.
HRESULT UnregisterProgramServer(const std::string& programPath);

}  // namespace vok::bar
