#include "binding/driver_binding.h"

#include <dlfcn.h>

#include "binding/library_search.h"
#include "messages/messages.h"

namespace binding {

namespace {

std::string LoaderError() {
    const char* e = dlerror();
    return e ? e : "";
}

BindResult Failure(int32_t code, const std::string& file, std::string detail) {
    BindResult r;
    r.code = code;
    r.message = messages::MessageText(messages::MsgId::DriverFileNotFound, file);
    r.caption = messages::MessageRow(messages::MsgId::DriverFileNotFound).caption;
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
    void* handle = LoadLibraryBeside(file, programDir, detail);
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

}  // namespace binding
