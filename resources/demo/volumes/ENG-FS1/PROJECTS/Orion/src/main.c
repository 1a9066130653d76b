int main(void)
{
    return orion_run();
}
