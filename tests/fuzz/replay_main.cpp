// Replays a fuzz corpus (files or folders given as arguments) through the fuzz target, so
// every build checks the corpus without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static int replayFile(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        return 1;
    }
    std::vector<uint8_t> data;
    uint8_t buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0 && data.size() < (1u << 20))
        data.insert(data.end(), buffer, buffer + n);
    std::fclose(f);
    LLVMFuzzerTestOneInput(data.data(), data.size());
    return 0;
}

int main(int argc, char** argv)
{
    int files = 0;
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        struct stat st{};
        if (stat(argv[i], &st) != 0) {
            std::fprintf(stderr, "missing %s\n", argv[i]);
            return 1;
        }
        if (S_ISDIR(st.st_mode)) {
            DIR* dir = opendir(argv[i]);
            if (dir == nullptr)
                return 1;
            while (dirent* entry = readdir(dir)) {
                if (entry->d_name[0] == '.')
                    continue;
                failures += replayFile(std::string(argv[i]) + "/" + entry->d_name);
                ++files;
            }
            closedir(dir);
        } else {
            failures += replayFile(argv[i]);
            ++files;
        }
    }
    std::printf("replayed %d inputs\n", files);
    return (failures != 0 || files == 0) ? 1 : 0;
}
