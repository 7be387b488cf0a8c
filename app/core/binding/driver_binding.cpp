#include "driver_binding.h"

#include <dlfcn.h>
#include <unistd.h>

#include "elf_check.h"
#include "location.h"
#include "messages.h"

namespace {

std::string LoaderError() {
    const char* e = dlerror();
    return e ? e : "";
}

// A file that is not a whole library for this machine is refused before the
// loader sees it (a cut one would crash the program there). The file may
// still change between the check and dlopen; that is accepted: the check is
// against damaged files, not against someone rewriting them meanwhile.
void* LoadFile(const std::string& path, std::string& detail) {
    const std::string problem = ElfSharedObjectProblem(path);
    if (!problem.empty()) {
        if (detail.empty()) detail = problem;
        return nullptr;
    }
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h && detail.empty()) detail = LoaderError();
    return h;
}

void* LoadFromFolder(const std::string& file, const std::string& folder, std::string& detail) {
    if (folder.empty()) return nullptr;
    const std::string beside = folder + (folder.back() == '/' ? "" : "/") + file;
    if (access(beside.c_str(), F_OK) != 0) return nullptr;
    return LoadFile(beside, detail);
}

// Beside the program first, as the Windows loader looks in the program's
// folder (which SONMIRA_HOME may move away from the executable, so the
// executable's own folder comes next); then the loader's own search, so a
// bare name still works. What that search finds lies in the system's library
// folders and goes to the loader unchecked.
void* LoadLibraryNamed(const std::string& file, const std::string& programDir, std::string& detail) {
    if (file.find('/') != std::string::npos) return LoadFile(file, detail);
    if (void* h = LoadFromFolder(file, programDir, detail)) return h;
    if (void* h = LoadFromFolder(file, loc::ExecutableDir(), detail)) return h;
    void* h = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h && detail.empty()) detail = LoaderError();
    return h;
}

BindResult Failure(int32_t code, const std::string& file, std::string detail) {
    BindResult r;
    r.code = code;
    r.message = MessageText(MsgId::DriverFileNotFound, file);
    r.caption = MessageRow(MsgId::DriverFileNotFound).caption;
    r.detail = std::move(detail);
    return r;
}

}  // namespace

DriverBinding::~DriverBinding() { Unbind(); }

BindResult DriverBinding::Bind(const std::string& file, const std::string& programDir) {
    std::lock_guard<std::timed_mutex> lock(mutex_);
    UnbindLocked();
    if (file.empty()) return BindResult{};

    std::string detail;
    void* handle = LoadLibraryNamed(file, programDir, detail);
    if (!handle) return Failure(kBindNotFound, file, detail);

    // A library without the factory, or one that makes no object, is of no
    // use: told like a missing one, and not kept loaded.
    dlerror();
    auto create = reinterpret_cast<CreateObjFn>(dlsym(handle, SONMIRA_CREATE_OBJ_SYMBOL));
    if (!create) {
        detail = LoaderError();
        dlclose(handle);
        return Failure(kBindNoFactory, file, detail);
    }
    IDevInter* object = nullptr;
    create(&object);
    if (!object) {
        dlclose(handle);
        return Failure(kBindNoObject, file, "CreateObj gave no object");
    }
    handle_ = handle;
    driver_ = object;
    bound_ = true;
    BindResult ok;
    ok.code = kBindOk;
    return ok;
}

void DriverBinding::Unbind() {
    std::lock_guard<std::timed_mutex> lock(mutex_);
    UnbindLocked();
}

void DriverBinding::UnbindLocked() {
    // The object's destructor runs in the library and closes the port it
    // holds, so the next driver can open that port: destroy, then unload.
    bound_ = false;
    delete driver_;
    driver_ = nullptr;
    if (handle_) dlclose(handle_);
    handle_ = nullptr;
}

DriverLease DriverBinding::Acquire() {
    std::unique_lock<std::timed_mutex> lock(mutex_);
    return DriverLease(std::move(lock), driver_);
}

DriverLease DriverBinding::TryAcquire(std::chrono::milliseconds wait) {
    std::unique_lock<std::timed_mutex> lock(mutex_, std::defer_lock);
    if (!lock.try_lock_for(wait)) return DriverLease();
    return DriverLease(std::move(lock), driver_);
}
