// A program that carries nothing but a version record, for reading it back from disk.
int main()
{
    return 0;
}
