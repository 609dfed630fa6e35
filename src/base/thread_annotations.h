// Annotations for clang's thread-safety analysis (-Wthread-safety): which
// lock guards a member, which functions need it held. They compile to
// nothing with other compilers.
#pragma once

#if defined(__clang__)
#define NARRAVOX_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define NARRAVOX_THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(x) NARRAVOX_THREAD_ANNOTATION(capability(x))
#define SCOPED_CAPABILITY NARRAVOX_THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(x) NARRAVOX_THREAD_ANNOTATION(guarded_by(x))
#define PT_GUARDED_BY(x) NARRAVOX_THREAD_ANNOTATION(pt_guarded_by(x))
#define REQUIRES(...) NARRAVOX_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define EXCLUDES(...) NARRAVOX_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define ACQUIRE(...) NARRAVOX_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) NARRAVOX_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define ASSERT_CAPABILITY(x) NARRAVOX_THREAD_ANNOTATION(assert_capability(x))
#define NO_THREAD_SAFETY_ANALYSIS NARRAVOX_THREAD_ANNOTATION(no_thread_safety_analysis)
