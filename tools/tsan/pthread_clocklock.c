// Linked into every target of the ThreadSanitizer build (SONMIRA_TSAN) only.
//
// libstdc++'s std::timed_mutex::try_lock_for() waits with
// pthread_mutex_clocklock(CLOCK_MONOTONIC), and the ThreadSanitizer runtime of
// gcc 12 (libtsan.so.2) has no interceptor for that call: it would not see the
// lock taken, and would report the matching unlock as "unlock of an unlocked
// mutex" (DriverBinding::TryAcquire's lease). This definition comes before
// glibc's and passes the call on to pthread_mutex_timedlock, which the runtime
// does see, with the same deadline moved to the realtime clock.
#define _GNU_SOURCE
#include <errno.h>
#include <pthread.h>
#include <time.h>

int pthread_mutex_clocklock(pthread_mutex_t* restrict mutex, clockid_t clock, const struct timespec* restrict deadline) {
    if (clock == CLOCK_REALTIME) return pthread_mutex_timedlock(mutex, deadline);
    if (clock != CLOCK_MONOTONIC) return EINVAL;
    struct timespec mono, real;
    clock_gettime(CLOCK_MONOTONIC, &mono);
    clock_gettime(CLOCK_REALTIME, &real);
    long long ns = ((long long)deadline->tv_sec - mono.tv_sec) * 1000000000LL +
                   (deadline->tv_nsec - mono.tv_nsec) + real.tv_nsec;
    struct timespec at;
    at.tv_sec = real.tv_sec + (time_t)(ns / 1000000000LL);
    at.tv_nsec = (long)(ns % 1000000000LL);
    if (at.tv_nsec < 0) {
        at.tv_nsec += 1000000000L;
        at.tv_sec -= 1;
    }
    return pthread_mutex_timedlock(mutex, &at);
}
